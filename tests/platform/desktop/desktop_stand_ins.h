// Stand-ins for the desktop around the program, for the desktop services'
// tests and the window's: a file manager on a test's private session bus, and
// a recorder of the URLs the desktop would be asked to open. UI thread.
#pragma once

#include <QDesktopServices>
#include <QObject>
#include <QStringList>
#include <QUrl>
#include <string>
#include <vector>

namespace cj::desktop::test {

// While it lives, every file URL the desktop would open is recorded here
// instead (QDesktopServices' handler for the "file" scheme).
class OpenedUrls : public QObject {
    Q_OBJECT

  public:
    OpenedUrls() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "Open"); }
    ~OpenedUrls() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

    std::vector<std::string> LocalPaths() const {  // UTF-8, in order.
        std::vector<std::string> paths;
        for (const QUrl& url : m_urls) {
            paths.push_back(url.toLocalFile().toStdString());
        }
        return paths;
    }

  public slots:
    void Open(const QUrl& url) { m_urls.push_back(url); }

  private:
    std::vector<QUrl> m_urls;
};

// A file manager (org.freedesktop.FileManager1) that records what it is
// asked. Register it on a connection of its own, so that a call goes through
// the bus daemon like any other; keep it alive as long as the process, since
// Qt's bus thread may still look at a registered object after its connection
// has been closed.
class FakeFileManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

  public:
    QStringList uris;
    QString startupId;
    int calls = 0;

  public slots:
    void ShowItems(const QStringList& items, const QString& startup) {
        uris = items;
        startupId = startup;
        ++calls;
    }
};

}  // namespace cj::desktop::test
