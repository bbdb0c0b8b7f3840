#pragma once

#include "DMUIProjectItemInspectorController.h"

class DMInspectorDocumentsTable;
class DMTextField;
class QComboBox;
class QPushButton;

// The inspector of task bars: besides the shared item controls, the cost (a fixed amount, an
// hourly rate, or the resources' rates, which hide the field), the locked state, the assigned
// resources and the attached documents. It is also the inspector that the canvas empties when
// its selection is not a single object.
//
// Documents dropped on the table or chosen with the add button (files and folders) are attached
// through the document, each key once; a row's document opens 0.5 s after a try to edit it, from
// the package's "Documents" folder only (or from where the user chose it, until it is saved there).
class DMUIProjectTaskInspectorController : public DMUIProjectItemInspectorController
{
    Q_OBJECT

public:
    static QString className() { return QStringLiteral("DMUIProjectTaskInspectorController"); }
    static DMUIProjectTaskInspectorController *sharedInstance();

    QComboBox *costKind() const { return m_costKind; }
    DMTextField *costField() const { return m_costField; }
    QCheckBox *lockedCheckbox() const { return m_lockedCheckbox; }
    DMInspectorDocumentsTable *documentsTableView() const { return m_documentsTableView; }
    QPushButton *documentsAddButton() const { return m_documentsAddButton; }
    QPushButton *documentsRemoveButton() const { return m_documentsRemoveButton; }

    void refreshUI() override;
    void commonCallback(QObject *sender) override;

    // Attaches the files to the inspected task, each key once, as one undo step.
    void addAttachedDocuments(const QStringList &paths);
    // Opens the row's document 0.5 s later (through the desktop), or says why it cannot.
    void openAttachedDocumentLater(const QString &tableKey);

private:
    friend class DMUIProjectViewObjectEditorController;
    DMUIProjectTaskInspectorController();
    bool loadInterface() override;
    QWidget *makeCostRow(QWidget *parent);
    QWidget *makeDocumentsPage(QWidget *parent);
    void refreshDocuments(const DMProjectItem &item);
    void costEntered(DMProjectItem &item);
    void removeSelectedDocuments(DMProjectItem &item);
    void openAttachedDocument(const QString &tableKey);

    QComboBox *m_costKind = nullptr;
    DMTextField *m_costField = nullptr;
    QCheckBox *m_lockedCheckbox = nullptr;
    DMInspectorDocumentsTable *m_documentsTableView = nullptr;
    QPushButton *m_documentsAddButton = nullptr;
    QPushButton *m_documentsRemoveButton = nullptr;
    QVariantList m_shownDocuments; // the keys and entries the table's rows were made from
};
