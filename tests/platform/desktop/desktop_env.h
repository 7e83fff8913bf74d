// What the desktop-service tests share: one QApplication on the offscreen
// platform for the whole run, a private session bus (so that no file manager
// of the machine answers), and a stand-in for the desktop's file opener.
#pragma once

#include <QObject>
#include <QUrl>

#include <string>
#include <vector>

namespace cj::desktop::test {

// The private bus's address; empty when dbus-daemon could not be started,
// and the session bus then is not connected at all.
const std::string& PrivateBusAddress();

// While it lives, every file URL the desktop would open is recorded here
// instead (QDesktopServices' handler for the "file" scheme).
class OpenedUrls : public QObject {
    Q_OBJECT

  public:
    OpenedUrls();
    ~OpenedUrls() override;

    std::vector<std::string> LocalPaths() const;  // UTF-8, in order.

  public slots:
    void Open(const QUrl& url);

  private:
    std::vector<QUrl> m_urls;
};

}  // namespace cj::desktop::test
