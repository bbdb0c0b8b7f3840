#include <QApplication>
#include <QLabel>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Halcyra"));
    QCoreApplication::setApplicationName(QStringLiteral("Halcyra"));
    QLabel window(QStringLiteral("Halcyra"));
    window.resize(640, 400);
    window.show();
    return app.exec();
}
