#include "platform/desktop/qt/file_manager.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <QTest>
#include <optional>
#include <thread>

#include "desktop_env.h"

namespace cj::desktop::detail {
namespace {

// The decision, with both services stood in.
class ShowInFolderDecision : public ::testing::Test {
  protected:
    ShowInFolderServices Services(bool canAsk) {
        return {
            .askFileManager =
                [this, canAsk](const std::string& path, FileManagerDone done) {
                    m_asked.push_back(path);
                    if (canAsk) {
                        m_done = std::move(done);
                    }
                    return canAsk;
                },
            .openFolder =
                [this](const std::string& folder) {
                    m_opened.push_back(folder);
                    return m_openWorks;
                },
        };
    }

    std::vector<std::string> m_asked;
    std::vector<std::string> m_opened;
    FileManagerDone m_done;
    bool m_openWorks = true;
};

TEST_F(ShowInFolderDecision, OpensNothingElseWhenTheFileManagerAnswers) {
    EXPECT_TRUE(TryShowInFolderWith("/srv/顺丰/单号.jpg", Services(true)));
    EXPECT_EQ(m_asked, std::vector<std::string>{"/srv/顺丰/单号.jpg"});
    ASSERT_TRUE(m_done);
    m_done(true);
    EXPECT_TRUE(m_opened.empty());
}

TEST_F(ShowInFolderDecision, OpensTheFolderWhenTheFileManagerDoesNotAnswer) {
    EXPECT_TRUE(TryShowInFolderWith("/srv/顺丰/单号.jpg", Services(true)));
    EXPECT_TRUE(m_opened.empty());  // Not before the answer.
    ASSERT_TRUE(m_done);
    m_done(false);
    EXPECT_EQ(m_opened, std::vector<std::string>{"/srv/顺丰"});
}

TEST_F(ShowInFolderDecision, OpensTheFolderAtOnceWhenNoFileManagerCanBeAsked) {
    EXPECT_TRUE(TryShowInFolderWith("/a.jpg", Services(false)));
    EXPECT_EQ(m_opened, std::vector<std::string>{"/"});

    // With neither way open the call reports failure.
    m_opened.clear();
    m_openWorks = false;
    EXPECT_FALSE(TryShowInFolderWith("/srv/scans/", Services(false)));
    EXPECT_EQ(m_opened, std::vector<std::string>{"/srv"});
}

TEST_F(ShowInFolderDecision, RefusesAPathWithoutAFolder) {
    EXPECT_FALSE(TryShowInFolderWith("", Services(true)));
    EXPECT_FALSE(TryShowInFolderWith("scans/a.jpg", Services(true)));
    EXPECT_TRUE(m_asked.empty());
    EXPECT_TRUE(m_opened.empty());
}

// The real question on the private session bus, with a file manager present
// or not. The file manager runs on a connection of its own, so the call goes
// through the bus daemon like any other.
class FileManager : public ::testing::Test {
  protected:
    void SetUp() override {
        if (test::PrivateBusAddress().empty()) {
            GTEST_SKIP() << "no dbus-daemon to run a private session bus";
        }
        m_fake.uris.clear();
        m_fake.startupId = QString();
        m_fake.calls = 0;
    }

    void TearDown() override {
        if (m_registered) {
            QDBusConnection fm = QDBusConnection(FakeConnection);
            fm.unregisterService(QStringLiteral("org.freedesktop.FileManager1"));
            fm.unregisterObject(QStringLiteral("/org/freedesktop/FileManager1"));
            QDBusConnection::disconnectFromBus(FakeConnection);
        }
    }

    void StartFileManager(QDBusConnection::RegisterOptions exports) {
        QDBusConnection fm = QDBusConnection::connectToBus(
            QString::fromStdString(test::PrivateBusAddress()), FakeConnection);
        ASSERT_TRUE(fm.isConnected());
        m_registered = true;
        ASSERT_TRUE(
            fm.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &m_fake, exports));
        ASSERT_TRUE(fm.registerService(QStringLiteral("org.freedesktop.FileManager1")));
    }

    // Asks on the session bus (the private one) and waits for the answer.
    std::optional<bool> Ask(const std::string& path) {
        std::optional<bool> answer;
        EXPECT_TRUE(TryAskFileManager(QDBusConnection::sessionBus(), path,
                                      [&](bool shown) { answer = shown; }));
        EXPECT_FALSE(answer.has_value()) << "answered inside the call";
        // A guard only: the bus answers in milliseconds.
        EXPECT_TRUE(QTest::qWaitFor([&] { return answer.has_value(); }, 10000));
        return answer;
    }

    static inline const QString FakeConnection = QStringLiteral("fake-file-manager");
    // One for the whole run, never destroyed (see FakeFileManager).
    static test::FakeFileManager& SharedFake() {
        static test::FakeFileManager* const fake = new test::FakeFileManager;
        return *fake;
    }
    test::FakeFileManager& m_fake = SharedFake();
    bool m_registered = false;
};

TEST_F(FileManager, SendsTheFullyEncodedUrlAndAnEmptyStartupId) {
    StartFileManager(QDBusConnection::ExportAllSlots);
    EXPECT_EQ(Ask("/srv/顺丰 单号/a#1%.jpg"), true);
    EXPECT_EQ(m_fake.calls, 1);
    ASSERT_EQ(m_fake.uris.size(), 1);
    EXPECT_EQ(m_fake.uris[0].toStdString(),
              "file:///srv/%E9%A1%BA%E4%B8%B0%20%E5%8D%95%E5%8F%B7/a%231%25.jpg");
    EXPECT_TRUE(m_fake.startupId.isEmpty());
    EXPECT_FALSE(m_fake.startupId.isNull());  // Sent as an empty string, not left out.
}

TEST_F(FileManager, ReportsNoAnswerWithoutAFileManagerOnTheBus) {
    EXPECT_EQ(Ask("/srv/a.jpg"), false);
}

TEST_F(FileManager, ReportsNoAnswerWhenTheServiceLacksTheMethod) {
    StartFileManager(QDBusConnection::ExportAllSignals);  // No ShowItems.
    EXPECT_EQ(Ask("/srv/a.jpg"), false);
    EXPECT_EQ(m_fake.calls, 0);
}

TEST_F(FileManager, CannotAskWithoutABusOrAUsablePath) {
    bool called = false;
    const auto done = [&](bool) { called = true; };
    const QDBusConnection none =
        QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), "no-bus");
    EXPECT_FALSE(TryAskFileManager(none, "/srv/a.jpg", done));
    QDBusConnection::disconnectFromBus(QStringLiteral("no-bus"));

    const QDBusConnection bus = QDBusConnection::sessionBus();
    EXPECT_FALSE(TryAskFileManager(bus, "", done));
    EXPECT_FALSE(TryAskFileManager(bus, "srv/a.jpg", done));
    EXPECT_FALSE(TryAskFileManager(bus, "/srv/\xFF.jpg", done));

    bool fromWorker = true;
    std::thread([&] { fromWorker = TryAskFileManager(bus, "/srv/a.jpg", done); }).join();
    EXPECT_FALSE(fromWorker);

    QCoreApplication::processEvents();
    EXPECT_FALSE(called);
}

}  // namespace
}  // namespace cj::desktop::detail
