#pragma once

#include "DMFormatter.h"
#include "DMNotificationCenter.h"

#include <QStyledItemDelegate>

// The item delegate counterpart of DMTextField: shows and edits its items' values through a
// formatter and takes the new formatter when one is announced for its current one; the views it
// serves (its parent, when that is a view) are redrawn in the new format.
class DMTextFieldCell : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit DMTextFieldCell(QObject *parent = nullptr);

    std::shared_ptr<DMFormatter> formatter() const { return m_formatter; }
    void setFormatter(std::shared_ptr<DMFormatter> formatter) { m_formatter = std::move(formatter); }
    // Kept for the views that ask.
    bool isHidden() const { return m_hidden; }
    void setHidden(bool hidden) { m_hidden = hidden; }

    QString displayText(const QVariant &value, const QLocale &locale) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    // A text the formatter does not read beeps and leaves the item unchanged.
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;

private:
    void updateFormatter(const DMNotification &notification);

    std::shared_ptr<DMFormatter> m_formatter;
    bool m_hidden = false;
    DMNotificationObserver m_observer;
};
