#include "DMFileDialog.h"

#include "DMLocalizedString.h"
#include "DMModalUI.h"

#include <QAbstractItemView>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// Shows packages with a document's icon and kind, without children.
class PackageProxyModel : public QIdentityProxyModel
{
public:
    PackageProxyModel(const DMFileDialog *dialog, const QString &typeDescription)
        : m_dialog(dialog), m_typeDescription(typeDescription)
    {
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (index.isValid() && (role == Qt::DecorationRole || role == Qt::DisplayRole) && isPackage(index)) {
            if (role == Qt::DecorationRole && index.column() == 0)
                return m_icons.icon(QAbstractFileIconProvider::File);
            if (role == Qt::DisplayRole && index.column() == 1) // size: a package has none to show
                return QString();
            if (role == Qt::DisplayRole && index.column() == 2 && !m_typeDescription.isEmpty())
                return m_typeDescription;
        }
        return QIdentityProxyModel::data(index, role);
    }

    bool hasChildren(const QModelIndex &parent) const override
    {
        return !isPackage(parent) && QIdentityProxyModel::hasChildren(parent);
    }

private:
    bool isPackage(const QModelIndex &index) const
    {
        return index.isValid() && m_dialog->isPackage(index.siblingAtColumn(0).data(QFileSystemModel::FilePathRole).toString());
    }

    const DMFileDialog *m_dialog;
    QString m_typeDescription;
    QFileIconProvider m_icons;
};

QString nameFilter(const DMModalUI::FilePanel &panel)
{
    QStringList patterns;
    for (const QString &extension : panel.allowedExtensions)
        patterns << QStringLiteral("*.") + extension;
    const QString list = patterns.join(QLatin1Char(' '));
    if (panel.typeDescription.isEmpty())
        return list;
    return QStringLiteral("%1 (%2)").arg(panel.typeDescription, list);
}

} // namespace

DMFileDialog::DMFileDialog(const DMModalUI::FilePanel &panel, AcceptMode mode, QWidget *parent)
    : QFileDialog(parent), m_packageExtensions(panel.packageExtensions),
      m_choosesFolders(panel.canChooseDirectories && mode == AcceptOpen)
{
    // The platform's dialog cannot be told about packages; set before anything else.
    setOption(QFileDialog::DontUseNativeDialog);
    setProxyModel(new PackageProxyModel(this, panel.typeDescription));
    setWindowTitle(panel.title);
    setAcceptMode(mode);
    if (mode == AcceptSave)
        setFileMode(QFileDialog::AnyFile);
    else
        setFileMode(panel.allowsMultipleSelection ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    // The replace question is ours, asked for packages and files alike.
    setOption(QFileDialog::DontConfirmOverwrite);
    if (!panel.allowedExtensions.isEmpty()) {
        setNameFilter(nameFilter(panel));
        if (mode == AcceptSave)
            setDefaultSuffix(panel.allowedExtensions.first());
    }
    if (!panel.directory.isEmpty())
        setDirectory(panel.directory);
    if (!panel.proposedName.isEmpty())
        selectFile(panel.proposedName);
    if (QPushButton *button = acceptButton())
        m_acceptTitle = button->text();

    // Activating an entry (double click, Return) browses into a folder but opens a package.
    for (QAbstractItemView *view : findChildren<QAbstractItemView *>()) {
        if (view->model() != proxyModel())
            continue;
        disconnect(view, &QAbstractItemView::activated, this, nullptr);
        connect(view, &QAbstractItemView::activated, this, &DMFileDialog::activate);
    }
    // After Qt's own handlers, which leave packages out of the name field and title the
    // button "Open" when a folder is chosen. The list and detail views share one selection.
    m_nameField = findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    if (auto *view = findChild<QAbstractItemView *>(QStringLiteral("listView")))
        m_selection = view->selectionModel();
    if (m_selection) {
        connect(m_selection, &QItemSelectionModel::selectionChanged, this, &DMFileDialog::showSelectedPackages);
        connect(m_selection, &QItemSelectionModel::currentChanged, this, &DMFileDialog::keepAcceptButtonTitle);
    }
    if (m_nameField)
        connect(m_nameField, &QLineEdit::textChanged, this, &DMFileDialog::keepAcceptButtonTitle);
}

bool DMFileDialog::isPackage(const QString &path) const
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return m_packageExtensions.contains(info.suffix(), Qt::CaseInsensitive) && info.isDir();
}

bool DMFileDialog::isChosenWhole(const QString &path) const
{
    return isPackage(path) || (m_choosesFolders && !path.isEmpty() && QFileInfo(path).isDir());
}

void DMFileDialog::activate(const QModelIndex &index)
{
    const QString path = index.data(QFileSystemModel::FilePathRole).toString();
    // An empty path is the list of drives and roots.
    if (path.isEmpty() || (QFileInfo(path).isDir() && !isPackage(path))) {
        setDirectory(path);
        emit directoryEntered(path);
        return;
    }
    accept();
}

void DMFileDialog::showSelectedPackages()
{
    // Left alone while the user types in it, as Qt does.
    if (!m_nameField || !m_selection || m_nameField->hasFocus())
        return;
    QStringList names;
    bool wholes = false;
    for (const QModelIndex &index : m_selection->selectedRows()) {
        const QString path = index.data(QFileSystemModel::FilePathRole).toString();
        const bool whole = isChosenWhole(path);
        wholes = wholes || whole;
        if (whole || !QFileInfo(path).isDir())
            names << index.data().toString();
    }
    if (!wholes)
        return;
    if (names.size() > 1)
        for (QString &entry : names)
            entry = QLatin1Char('"') + entry + QLatin1Char('"');
    m_nameField->setText(names.join(QLatin1Char(' ')));
}

void DMFileDialog::keepAcceptButtonTitle()
{
    const QStringList files = selectedFiles();
    if (files.isEmpty() || !isChosenWhole(files.first()))
        return;
    if (QPushButton *button = acceptButton()) {
        button->setText(m_acceptTitle);
        button->setEnabled(true);
    }
}

QPushButton *DMFileDialog::acceptButton() const
{
    const auto *buttons = findChild<QDialogButtonBox *>();
    return buttons ? buttons->button(acceptMode() == AcceptSave ? QDialogButtonBox::Save : QDialogButtonBox::Open) : nullptr;
}

void DMFileDialog::accept()
{
    const QStringList files = selectedFiles();
    if (files.isEmpty())
        return QFileDialog::accept();
    if (acceptMode() == AcceptOpen) {
        bool wholes = false;
        for (const QString &file : files) {
            // Anything else that is not an existing file: Qt's own handling browses or explains.
            if (!isChosenWhole(file) && !QFileInfo(file).isFile())
                return QFileDialog::accept();
            wholes = wholes || isChosenWhole(file);
        }
        if (!wholes)
            return QFileDialog::accept();
        QDialog::accept();
        return;
    }

    const QFileInfo target(files.first());
    if (target.isDir() && !isPackage(target.filePath()))
        return QFileDialog::accept(); // browses into the folder
    if (target.exists()) {
        DMModalUI::Alert alert;
        alert.title = DMLocalizedString("Replace File");
        alert.messageText = DMLocalizedString("\u201C%1\u201D already exists. Do you want to replace it?").arg(target.fileName());
        alert.informativeText = DMLocalizedString("A document with the same name already exists in \u201C%1\u201D. Replacing it "
                                                  "will overwrite its current contents.")
                                    .arg(target.dir().dirName());
        alert.buttons = {DMLocalizedString("Replace"), DMLocalizedString("Cancel")};
        if (DMModalUI::instance().runAlert(alert, this) != DMModalUI::DefaultReturn)
            return;
    }
    QDialog::accept();
}
