#pragma once

#include "DMCollectionViewItem.h"
#include "DMItemBackgroundView.h"
#include "DMItemsViewObject.h"
#include "DMObservable.h"

#include <QPointer>
#include <QSize>
#include <QStringList>

#include <vector>

class DMCollectionView;
class DMDate;
class DMItemsViewDocument;
class DMProgressView;
class QLabel;
class QToolButton;
class QWidget;

// The base of the items view's cards: one card class per kind of object. A card observes the key
// paths of its represented object that it shows and refills itself when one changes; its items
// view asks the card showing an object to scroll into view and to edit it. Observation moves
// with every setRepresentedObject and ends with the card.
class DMItemsViewItem : public DMCollectionViewItem, public DMItemBackgroundViewDelegate
{
    Q_OBJECT

public:
    DMItemsViewItem(DMItemsViewDocument &document, DMCollectionView *collectionView);
    ~DMItemsViewItem() override;

    const DMItemsViewObject &representedObject() const { return m_object; }
    void setRepresentedObject(const DMItemsViewObject &object);
    // The size of the card's view: the collection view's item size on its page.
    virtual QSize cardSize() const = 0;

    // Whether an editor opened by edit() takes the keyboard (an edit asked for) or leaves it to
    // the cards (a card merely selected, whose keys are meant for the cards).
    enum class EditorKeyboard { Take, Leave };

    // Asked by the items view for its object: the collection view scrolls the card's origin into
    // view; a card in view starts editing its object (the to-do card opens its editor, the cards
    // of items and links their inspector).
    void scrollToVisible();
    void edit(EditorKeyboard keyboard = EditorKeyboard::Take);
    // A double click on the card edits its object.
    void viewMouseDown(DMItemBackgroundView *view, QMouseEvent *event) override;

    // The duration as the cards show it: " %d days", " %d hours", " %d min" in that order, the
    // hours whenever there are minutes; days of secondsPerDay (24 hours when not above 0).
    static QString cardDurationText(qint64 seconds, qint64 secondsPerDay);
    // The text as it fits a box of that size in the font: wrapped at word boundaries onto as many
    // lines as the box holds (at least one), the last line that fits ended with "…" when text is
    // left over.
    static QString fittedText(const QString &text, const QFont &font, QSize box);

protected:
    // The key paths whose change refills the card.
    virtual QStringList observedKeyPaths() const { return {}; }
    // Other objects the card shows, with their key paths (a link's two items).
    virtual QList<std::pair<std::shared_ptr<DMObservable>, QStringList>> relatedObservedKeyPaths() const { return {}; }
    // What edit() does for a card in view. An item or a link is shown in its inspector, as the
    // chart and the lists show it: opened with its title ready to be typed over when the keyboard
    // is taken, else followed by an inspector that stays as it is (closed or open). Other objects:
    // nothing.
    virtual void editRepresentedObject(EditorKeyboard keyboard);
    // Fills the card from the represented object.
    virtual void updateUI() = 0;

    // Builders of the card's fixed layout.
    QLabel *addLabel(const QRect &frame, int pointSize = 11, bool bold = false, Qt::Alignment alignment = Qt::AlignLeft);
    void setDateFields(QLabel *dateField, QLabel *hourField, const DMDate &date);
    // Shows a title fitted to the label (fittedText); the whole title is its tool tip when cut.
    static void setTitleText(QLabel *label, const QString &title);
    // The rows the task and process cards share: begin and end with their hours under the
    // preview, and the completion bar with its percentage at the foot.
    void addDateRow(QLabel *&beginDate, QLabel *&beginHour, QLabel *&endDate, QLabel *&endHour);
    DMProgressView *addCompletionRow(QLabel *&percentField);
    static void showCompletion(DMProgressView *bar, QLabel *percentField, float completion);
    // The face of a section separator (the documents' sections, the to-do categories) over the
    // whole card: a disclosure button, which the card connects, and the section's name.
    void addSeparatorView(QWidget *&separatorView, QToolButton *&disclosureButton, QLabel *&nameField);
    static void showSeparator(QToolButton *disclosureButton, QLabel *nameField, const QString &name, bool open);
    QString currencyText(double value) const;

    DMItemsViewDocument &m_document;
    QPointer<DMCollectionView> m_collectionView;

private:
    void addObservers();
    void removeObservers();

    DMItemsViewObject m_object;
    std::vector<DMObservation> m_observations;
};
