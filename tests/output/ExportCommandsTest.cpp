// The export and import commands: iCalendar files read back by Python's icalendar package, the
// CSV file read by Python's csv module, the to-do-list package exported and imported again, and
// failures to write.
#include "OutputTestSupport.h"

#include "DMProjectDocumentUICallbacks.h"
#include "DMProjectDocumentUICallbacksHost.h"
#include "DMStringAdditions.h"
#include "DMTodoListPackage.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace halcyra::test;

namespace {

class FakeCommandsHost : public DMProjectDocumentUICallbacksHost
{
public:
    std::shared_ptr<DMProject> theProject;
    DMProjectDocumentReport *theReport = nullptr;
    QList<std::shared_ptr<DMProjectItem>> selection;
    QStringList openedFiles;

    std::shared_ptr<DMProject> project() const override { return theProject; }
    QWidget *windowForSheet() const override { return nullptr; }
    QString folderForPanels() const override { return {}; }
    QList<std::shared_ptr<DMProjectItem>> selectedCanvasItems() const override { return selection; }
    DMProjectDocumentReport *report() override { return theReport; }
    void openFileWithDefaultApplication(const QString &path) override { openedFiles.append(path); }
};

// The calendar's components as Python's icalendar package reads them. RESOURCES is split at
// its unescaped commas from the raw lines (the package reads the list as one text), and common
// names are decoded as parameter values encode them ("^'", "^n", "^^").
const char *kReadCalendar = R"py(
import icalendar, json, re, sys
data = open(sys.argv[1], 'rb').read()
cal = icalendar.Calendar.from_ical(data)
def unescape(v):
    return re.sub(r'\\([\\;,nN])', lambda m: '\n' if m.group(1) in 'nN' else m.group(1), v)
raw = []
for line in icalendar.parser.Contentlines.from_ical(data.decode('utf-8')):
    if line.startswith('BEGIN:') and line != 'BEGIN:VCALENDAR':
        raw.append([])
    elif line.startswith('RESOURCES:'):
        raw[-1] = [unescape(v) for v in re.findall(r'(?:\\.|[^,\\])+', line[len('RESOURCES:'):])]
def text(c, key):
    return str(c[key]) if key in c else None
def date(c, key):
    return c[key].dt.isoformat() if key in c else None
out = []
for c, resources in zip(cal.subcomponents, raw):
    attendees = c.get('ATTENDEE', [])
    if not isinstance(attendees, list):
        attendees = [attendees]
    people = [[re.sub(r"\^(\^|n|')", lambda m: {'^': '^', 'n': '\n', "'": '"'}[m.group(1)], a.params.get('CN', '')),
               str(a)[len('MAILTO:'):]] for a in attendees]
    out.append({'type': c.name, 'summary': text(c, 'SUMMARY'), 'description': text(c, 'DESCRIPTION'),
                'start': date(c, 'DTSTART'), 'end': date(c, 'DTEND'), 'due': date(c, 'DUE'),
                'status': text(c, 'STATUS'), 'uid': text(c, 'UID'), 'attendees': people, 'resources': resources})
print(json.dumps(out))
)py";

// The instant of a wall-clock time of the local zone, as Python writes a time in UTC.
QString iso(const DMDate &date)
{
    return date.NSDate().toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss+00:00"));
}

class ExportCommandsTest : public ReportTestBase
{
protected:
    void SetUp() override
    {
        ReportTestBase::SetUp();
        // Central European time, so that local and universal times differ.
        savedZone = qgetenv("TZ");
        qputenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
        tzset();
        sample = makeSampleProject();
        useProject(sample.project);
        commandsHost.theProject = sample.project;
        commandsHost.theReport = report.get();
        sample.project->setUndoManager(&undoManager);

        // People with hostile names, a machine, a resource without a name, to-dos and events.
        sample.ada->setName(QStringLiteral("Ada \"the\" Lovelace; Esq., \u00e9"));
        sample.ada->setAttribute(kDMProjectResource_Email, QString());
        sample.cy->setAttribute(kDMProjectResource_Human, false);
        sample.cy->setName(QStringLiteral("Crane, 40 t; yard"));
        sample.cy->setAttribute(kDMProjectResource_Email, QStringLiteral("yard@example.org"));
        auto unnamed = makeResource(sample.project, QString(), kDMProjectResourceCostKind_Hourly, 1.0);
        sample.project->resources().append(unnamed);
        sample.build->addResource(unnamed);
        sample.survey->setAttribute(kDMProjectItem_Notes, QStringLiteral("Line one\r\nline two: \"quoted\"; a, b \\ c"));
        auto event = makeItem<DMProjectEvent>(sample.project, QStringLiteral("Open day: \u00fc\U0001F600"), at(2024, 3, 9, 10), at(2024, 3, 9, 16));
        sample.project->eventContainer()->events().append(event);
        addTodo(QStringLiteral("Call the crane company"), true, at(2024, 3, 1, 9));
        addTodo(QStringLiteral("Permits"), false, DMDate(), kDMProjectTodo_Kind_Separator);
        addTodo(QStringLiteral("Order bolts\nand nuts"), false, DMDate());
        // 500 characters of one to four bytes each.
        QString longTitle;
        const QString pieces[] = {QStringLiteral("a"), QStringLiteral("\u00fc"), QStringLiteral("\u20ac"), QStringLiteral("\U0001F600")};
        for (int i = 0; i < 500; ++i)
            longTitle += pieces[i % 4];
        sample.drawing->setTitle(longTitle);
        sample.build->setTitle(QStringLiteral("END:VEVENT\r\nBEGIN:VEVENT\nSUMMARY:forged, \"x\"; y:z C:\\Temp"));
    }
    void TearDown() override
    {
        sample.project->setUndoManager(nullptr);
        if (savedZone.isNull())
            qunsetenv("TZ");
        else
            qputenv("TZ", savedZone);
        tzset();
        ReportTestBase::TearDown();
    }
    void addTodo(const QString &text, bool done, const DMDate &date, std::uint32_t kind = kDMProjectTodo_Kind_Todo)
    {
        auto todo = std::make_shared<DMProjectTodo>(kind);
        todo->setProject(sample.project);
        todo->setText(text);
        todo->setDone(done);
        todo->setNoDueDate(date.isNull());
        if (!date.isNull())
            todo->setDate(date);
        sample.project->todoContainer()->todos().append(todo);
    }
    QJsonArray readCalendar(const QString &path)
    {
        QString error;
        const QString json = runPython(QString::fromUtf8(kReadCalendar), {path}, &error, QStringLiteral("icalendar"));
        EXPECT_FALSE(json.isEmpty()) << error.toStdString();
        return QJsonDocument::fromJson(json.toUtf8()).array();
    }
    // What the calendar must hold for the items, after the project's to-dos.
    QList<QJsonObject> expectedComponents(const QList<std::shared_ptr<DMProjectItem>> &items)
    {
        QList<QJsonObject> expected;
        // The format has one line break: CR LF and CR read back as LF.
        const auto lines = [](QString text) { return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n')); };
        for (const auto &todo : sample.project->todoContainer()->todos()) {
            if (todo->isSeparator())
                continue;
            expected.append({{"type", "VTODO"}, {"summary", lines(todo->text())}, {"due", todo->noDueDate() ? QJsonValue() : iso(todo->date())},
                             {"status", todo->done() ? "COMPLETED" : "NEEDS-ACTION"}});
        }
        for (const auto &item : items) {
            // A milestone is due at its moment and has no start.
            const bool milestone = item->kind() == kDMProjectItem_Kind_Milestone;
            QJsonObject component{{"type", milestone ? "VTODO" : "VEVENT"}, {"summary", lines(item->title())},
                                  {"start", milestone ? QJsonValue() : iso(item->beginDate())},
                                  {milestone ? "due" : "end", iso(item->endDate())},
                                  {"description", item->attributes().contains(kDMProjectItem_Notes) ? QJsonValue(lines(item->attribute(kDMProjectItem_Notes).toString())) : QJsonValue()}};
            QJsonArray people;
            QJsonArray others;
            if (auto task = std::dynamic_pointer_cast<DMProjectTask>(item))
                for (const auto &resource : task->concernedResources()) {
                    // People with an address are invited; the others are listed by name.
                    const QString email = resource->attribute(kDMProjectResource_Email).toString();
                    const bool human = resource->attribute(kDMProjectResource_Human).toBool();
                    if (human && !email.isEmpty()) {
                        const QString name = resource->name().isEmpty()
                            ? QStringLiteral("HALCYRA-RESOURCE-") + QString::number(resource->objectID(), 16)
                            : resource->name();
                        people.append(QJsonArray{name, email});
                    } else if (human && !resource->name().isEmpty()) {
                        others.append(resource->name());
                    } else if (!resource->name().isEmpty()) {
                        others.append(email.isEmpty() ? resource->name() : resource->name() + QStringLiteral(" (") + email + QLatin1Char(')'));
                    }
                }
            component.insert("attendees", people);
            component.insert("resources", others);
            expected.append(component);
        }
        return expected;
    }
    static void expectComponents(const QJsonArray &read, const QList<QJsonObject> &expected)
    {
        ASSERT_EQ(read.size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i) {
            const QJsonObject component = read.at(i).toObject();
            for (auto it = expected[i].begin(); it != expected[i].end(); ++it)
                EXPECT_TRUE(component.value(it.key()) == it.value())
                    << "component " << i << ", " << it.key().toStdString() << ": read "
                    << QJsonDocument(QJsonArray{component.value(it.key())}).toJson(QJsonDocument::Compact).toStdString()
                    << ", model " << QJsonDocument(QJsonArray{it.value()}).toJson(QJsonDocument::Compact).toStdString();
        }
    }

    SampleProject sample;
    QByteArray savedZone;
    DMUndoManager undoManager;
    FakeCommandsHost commandsHost;
    DMProjectDocumentUICallbacks commands{&commandsHost};
    QTemporaryDir folder;
};

} // namespace

TEST_F(ExportCommandsTest, WholeProjectCalendarReadsBackAsTheModel)
{
    ui.savePanelPath = folder.filePath(QStringLiteral("Harbour"));
    commands.exportToICalendar();
    EXPECT_TRUE(ui.alerts.isEmpty());
    const QString path = folder.filePath(QStringLiteral("Harbour.ics"));
    ASSERT_TRUE(QFileInfo::exists(path));
    QList<std::shared_ptr<DMProjectItem>> items(sample.project->eventContainer()->events().begin(),
                                                sample.project->eventContainer()->events().end());
    // The process and the group write no component of their own; their tasks do.
    items << sample.survey << sample.approval << sample.drawing << sample.build;
    const QJsonArray read = readCalendar(path);
    expectComponents(read, expectedComponents(items));
    EXPECT_EQ(read.at(0).toObject().value("uid").toString(),
              QStringLiteral("HALCYRA-TODO-OBJECTID-%1-%2@halcyra.invalid")
                  .arg(QString::number(sample.project->todoContainer()->todos().at(0)->objectID(), 16), sample.project->identifier()));
}

// A calendar program that reads two projects' calendars keeps both: UIDs are unique, the same in
// every export of one project (also after it was saved and read again), and differ between
// projects even where their object IDs are the same.
TEST_F(ExportCommandsTest, UIDsAreTheProjectsOwnAndStable)
{
    const auto uids = [this](const std::shared_ptr<DMProject> &project, const QString &name) {
        commandsHost.theProject = project;
        ui.savePanelPath = folder.filePath(name);
        commands.exportToICalendar();
        QStringList found;
        for (const QJsonValue &component : readCalendar(folder.filePath(name + QStringLiteral(".ics"))))
            found.append(component.toObject().value("uid").toString());
        return found;
    };
    const QStringList first = uids(sample.project, QStringLiteral("First"));
    ASSERT_EQ(first.size(), 7); // two to-dos, the event, three tasks and the milestone
    EXPECT_EQ(QSet<QString>(first.begin(), first.end()).size(), first.size());
    EXPECT_EQ(uids(sample.project, QStringLiteral("Again")), first);

    QVariantMap file = sample.project->dictionaryRepresentation();
    EXPECT_EQ(uids(DMProject::projectWithDictionaryRepresentation(file, nullptr), QStringLiteral("Reopened")), first);
    file.remove(QStringLiteral("identifier")); // a copy of the file of before identifiers
    const QStringList other = uids(DMProject::projectWithDictionaryRepresentation(file, nullptr), QStringLiteral("Other"));
    ASSERT_EQ(other.size(), first.size());
    EXPECT_TRUE(QSet<QString>(first.begin(), first.end()).intersect(QSet<QString>(other.begin(), other.end())).isEmpty());
}

TEST_F(ExportCommandsTest, SelectedItemsGoToAPrivateFileThatIsOpened)
{
    sample.project->setTitle(QStringLiteral("../../etc/\x01passwd"));
    commandsHost.selection = {sample.build, sample.approval};
    commands.exportSelectedItemToICal();
    ASSERT_EQ(commandsHost.openedFiles.size(), 1);
    const QFileInfo file(commandsHost.openedFiles.first());
    EXPECT_EQ(file.fileName(), QStringLiteral("_._etc_passwd.ics")); // the model dropped the control character
    EXPECT_TRUE(file.absolutePath().startsWith(QDir::tempPath() + QStringLiteral("/halcyra-ical-")));
    // Every to-do, then the chosen items.
    expectComponents(readCalendar(file.filePath()), expectedComponents({sample.build, sample.approval}));
}

TEST_F(ExportCommandsTest, CSVFileReadsBackAsTheModelAndMSProjectXMLGoesThroughItsConverter)
{
    ui.savePanelPath = folder.filePath(QStringLiteral("Harbour"));
    commands.exportToCSV();
    QString error;
    const QString json = runPython(QStringLiteral("import csv, json, sys\n"
                                                  "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                                                  "    print(json.dumps(list(csv.reader(f))))\n"),
                                   {folder.filePath(QStringLiteral("Harbour.csv"))}, &error);
    ASSERT_FALSE(json.isEmpty()) << error.toStdString();
    const QJsonArray rows = QJsonDocument::fromJson(json.toUtf8()).array();
    // Header, blank, four task lines, three blanks, header, blank, five resource lines.
    ASSERT_EQ(rows.size(), 16);
    EXPECT_EQ(rows.at(0).toArray().at(0).toString(), QStringLiteral("Tasks"));
    EXPECT_EQ(rows.at(1).toArray(), QJsonArray{" "});
    const QList<std::shared_ptr<DMProjectTask>> tasks{sample.survey, sample.approval, sample.drawing, sample.build};
    for (int i = 0; i < 4; ++i) {
        const QJsonArray row = rows.at(2 + i).toArray();
        EXPECT_EQ(row.at(0).toString(), tasks[i]->title());
        EXPECT_EQ(row.at(1).toString(), tasks[i]->beginDate().description());
    }
    EXPECT_EQ(rows.at(9).toArray().at(6).toString(), QString()) << "the resource header's seventh title";
    EXPECT_EQ(rows.at(11).toArray().at(0).toString(), sample.ada->name());
    // Every row ends with CR LF; line breaks inside a quoted field are the field's own.
    QFile csv(folder.filePath(QStringLiteral("Harbour.csv")));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QByteArray bytes = csv.readAll();
    bool quoted = false;
    int rowEnds = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '"') {
            quoted = !quoted;
        } else if (bytes[i] == '\n' && !quoted && ++rowEnds) {
            EXPECT_EQ(bytes[i - 1], '\r') << "row " << rowEnds;
        }
    }
    EXPECT_EQ(rowEnds, 16);

    // The MS Project XML file comes from its converter.
    commands.exportToMSProjectXML();
    EXPECT_TRUE(ui.alerts.isEmpty());
    QFile file(folder.filePath(QStringLiteral("Harbour.xml")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("<Name>Harbour works</Name>"));
}

TEST_F(ExportCommandsTest, WritingIntoAReadOnlyFolderReportsAndLeavesNothing)
{
    QDir(folder.path()).mkdir(QStringLiteral("locked"));
    const QString locked = unwritableFolder(folder.filePath(QStringLiteral("locked")));
    const QStringList before = QDir(locked).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden);
    ui.savePanelPath = locked + QStringLiteral("/Harbour");
    commands.exportToCSV();
    commands.exportToICalendar();
    commands.exportToMSProjectXML();
    commands.exportToFerrix();
    ASSERT_EQ(ui.alerts.size(), 4);
    for (const auto &alert : ui.alerts)
        EXPECT_FALSE(alert.informativeText.isEmpty()) << alert.messageText.toStdString();
    EXPECT_EQ(QDir(locked).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden), before);
    QFile::setPermissions(folder.filePath(QStringLiteral("locked")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(ExportCommandsTest, ToDoListExportedAndImportedBackWithFreshIDs)
{
    ui.savePanelPath = folder.filePath(QStringLiteral("Harbour"));
    commands.exportToFerrix();
    ASSERT_TRUE(QFileInfo(folder.filePath(QStringLiteral("Harbour.del/project.xml"))).isFile());

    ui.openPanelPaths = {folder.filePath(QStringLiteral("Harbour.del"))};
    finishEventLoopTurn();
    undoManager.removeAllActions();
    const QList<std::shared_ptr<DMProjectTodo>> before = sample.project->todoContainer()->todos().list();
    commands.importFromFerrix();
    finishEventLoopTurn();
    const QList<std::shared_ptr<DMProjectTodo>> after = sample.project->todoContainer()->todos().list();
    ASSERT_EQ(after.size(), 2 * before.size());
    // The fields themselves are checked with the package; here the copies' identities.
    for (qsizetype i = 0; i < before.size(); ++i) {
        const auto &copy = after.at(before.size() + i);
        EXPECT_EQ(copy->text(), before[i]->text());
        EXPECT_NE(copy->objectID(), before[i]->objectID());
        EXPECT_EQ(sample.project->objectWithIDAndClass<DMProjectTodo>(copy->objectID()), copy);
    }
    // The import is one step to undo.
    ASSERT_TRUE(undoManager.canUndo());
    undoManager.undo();
    EXPECT_EQ(sample.project->todoContainer()->todos().list(), before);
}

TEST_F(ExportCommandsTest, ABrokenPackageImportsNothingAndSaysWhy)
{
    QDir(folder.path()).mkpath(QStringLiteral("Bad.del"));
    QFile file(folder.filePath(QStringLiteral("Bad.del/project.xml")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<plist><dict><key>todoContainer</key><string>x</string></dict></plist>");
    file.close();
    ui.openPanelPaths = {folder.filePath(QStringLiteral("Bad.del"))};
    const qsizetype count = sample.project->todoContainer()->todos().size();
    commands.importFromFerrix();
    EXPECT_EQ(sample.project->todoContainer()->todos().size(), count);
    ASSERT_EQ(ui.alerts.size(), 1);
    EXPECT_EQ(ui.alerts[0].messageText, QStringLiteral("Unable to load file"));
    EXPECT_TRUE(ui.alerts[0].informativeText.startsWith(QStringLiteral("Check that this is a valid Quillet document")));
    EXPECT_EQ(ui.alerts[0].buttons, QStringList{QStringLiteral("Close")});
}

TEST(ExportFileNames, TitlesBecomeSafeNames)
{
    EXPECT_EQ(fileNameForTitle(QStringLiteral("Harbour works"), QStringLiteral("Halcyra"), QStringLiteral("ics")),
              QStringLiteral("Harbour works.ics"));
    EXPECT_EQ(fileNameForTitle(QStringLiteral(".."), QStringLiteral("Halcyra"), QStringLiteral("ics")),
              QStringLiteral("Halcyra.ics"));
    EXPECT_EQ(fileNameForTitle(QStringLiteral("v1...2"), QStringLiteral("H"), QStringLiteral("csv")),
              QStringLiteral("v1.2.csv"));
    EXPECT_EQ(fileNameForTitle(QStringLiteral("a/b\\c\nd"), QStringLiteral("H"), QStringLiteral("csv")),
              QStringLiteral("a_b_c_d.csv"));
    const QString name = fileNameForTitle(QString(300, QChar(0x20AC)), QStringLiteral("H"), QStringLiteral("ics"));
    EXPECT_LE(name.toUtf8().size(), 255);
    EXPECT_TRUE(name.endsWith(QStringLiteral("\u20ac.ics")));
}
