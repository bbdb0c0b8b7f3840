#include "DMInspectorForm.h"

#include "DMCalendarPanel.h"
#include "DMColorWell.h"
#include "DMDatePickerElements.h"
#include "DMLocalizedString.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kMargin = 10;
constexpr int kNumberFieldWidth = 44;

QWidget *rowWidget(QWidget *parent, QHBoxLayout **layout)
{
    auto *row = new QWidget(parent);
    *layout = new QHBoxLayout(row);
    (*layout)->setContentsMargins(0, 0, 0, 0);
    (*layout)->setSpacing(4);
    return row;
}

} // namespace

DMInspectorForm::DMInspectorForm(const QString &viewName)
    : m_view(new QWidget)
{
    m_view->setObjectName(viewName);
    auto *outer = new QVBoxLayout(m_view);
    outer->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    m_form = new QFormLayout;
    m_form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    m_form->setVerticalSpacing(6);
    outer->addLayout(m_form);
}

DMInspectorForm::~DMInspectorForm()
{
    delete m_view;
}

QWidget *DMInspectorForm::takeView()
{
    QWidget *view = m_view;
    m_view = nullptr;
    return view;
}

void DMInspectorForm::addRow(const QString &label, QWidget *widget)
{
    if (label.isEmpty())
        m_form->addRow(widget);
    else
        m_form->addRow(DMLocalizedString(label), widget);
}

QLineEdit *DMInspectorForm::addTextField(const QString &label, const QString &name)
{
    auto *field = new QLineEdit(m_view);
    field->setObjectName(name);
    addRow(label, field);
    return field;
}

QDateTimeEdit *DMInspectorForm::addDatePicker(const QString &label, const QString &name)
{
    QHBoxLayout *layout = nullptr;
    QWidget *row = rowWidget(m_view, &layout);
    auto *picker = new QDateTimeEdit(row);
    picker->setObjectName(name);
    picker->setDisplayFormat(DMDatePickerElements_displayFormat(
        kDMDatePickerElement_YearMonthDay | kDMDatePickerElement_HourMinute, QLocale()));
    auto *calendar = new QToolButton(row);
    calendar->setObjectName(name + QStringLiteral("CalendarButton"));
    calendar->setArrowType(Qt::DownArrow);
    calendar->setToolTip(DMLocalizedString("Show Calendar"));
    QObject::connect(calendar, &QToolButton::clicked, picker, [picker, calendar] {
        DMCalendarPanel::showCalendarPanel(picker, calendar);
    });
    layout->addWidget(picker, 1);
    layout->addWidget(calendar);
    addRow(label, row);
    return picker;
}

std::array<QLineEdit *, 3> DMInspectorForm::addDurationFields(const QString &label, const std::array<QString, 3> &names)
{
    QHBoxLayout *layout = nullptr;
    QWidget *row = rowWidget(m_view, &layout);
    std::array<QLineEdit *, 3> fields{};
    const char *units[3] = {"d", "h", "min"};
    for (int i = 0; i < 3; ++i) {
        fields[i] = new QLineEdit(row);
        fields[i]->setObjectName(names[i]);
        fields[i]->setFixedWidth(kNumberFieldWidth);
        fields[i]->setAlignment(Qt::AlignRight);
        layout->addWidget(fields[i]);
        layout->addWidget(new QLabel(DMLocalizedString(units[i]), row));
    }
    layout->addStretch(1);
    addRow(label, row);
    return fields;
}

QCheckBox *DMInspectorForm::addCheckBox(const QString &title, const QString &name)
{
    auto *box = new QCheckBox(DMLocalizedString(title), m_view);
    box->setObjectName(name);
    addRow(QString(), box);
    return box;
}

DMColorWell *DMInspectorForm::addColorWell(const QString &label, const QString &name)
{
    QHBoxLayout *layout = nullptr;
    QWidget *row = rowWidget(m_view, &layout);
    auto *well = new DMColorWell(row);
    well->setObjectName(name);
    layout->addWidget(well);
    layout->addStretch(1);
    addRow(label, row);
    return well;
}

QComboBox *DMInspectorForm::addPopup(const QString &label, const QString &name, const QStringList &titles)
{
    auto *popup = new QComboBox(m_view);
    popup->setObjectName(name);
    for (const QString &title : titles)
        popup->addItem(DMLocalizedString(title));
    addRow(label, popup);
    return popup;
}

void DMInspectorForm::addProgress(const QString &label, const QString &sliderName, const QString &fieldName,
                                  QSlider **slider, QLineEdit **field)
{
    QHBoxLayout *layout = nullptr;
    QWidget *row = rowWidget(m_view, &layout);
    *slider = new QSlider(Qt::Horizontal, row);
    (*slider)->setObjectName(sliderName);
    (*slider)->setRange(0, 100);
    *field = new QLineEdit(row);
    (*field)->setObjectName(fieldName);
    (*field)->setFixedWidth(kNumberFieldWidth);
    (*field)->setAlignment(Qt::AlignRight);
    layout->addWidget(*slider, 1);
    layout->addWidget(*field);
    layout->addWidget(new QLabel(QStringLiteral("%"), row));
    addRow(label, row);
}

QPlainTextEdit *DMInspectorForm::addNotes(const QString &name)
{
    auto *notes = new QPlainTextEdit(m_view);
    notes->setObjectName(name);
    notes->setFixedHeight(90);
    addTab(QStringLiteral("Notes"), notes);
    return notes;
}

void DMInspectorForm::addTab(const QString &title, QWidget *page)
{
    if (!m_tabs) {
        m_tabs = new QTabWidget(m_view);
        m_tabs->setObjectName(QStringLiteral("tabs"));
        static_cast<QVBoxLayout *>(m_view->layout())->addWidget(m_tabs, 1);
    }
    m_tabs->addTab(page, DMLocalizedString(title));
}
