#pragma once

#include <QDesktopServices>
#include <QObject>
#include <QStringList>
#include <QUrl>

namespace halcyra::test {

// Takes the files the code asks the desktop to open, for as long as it lives, and keeps their
// paths instead of opening them.
class OpenedFiles : public QObject
{
    Q_OBJECT
public:
    OpenedFiles() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~OpenedFiles() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QStringList paths;
public slots:
    void open(const QUrl &url) { paths.append(url.toLocalFile()); }
};

} // namespace halcyra::test
