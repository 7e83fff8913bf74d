#include "platform/desktop/folder_picker.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <thread>

#include "temp_dir.h"

namespace cj::desktop {
namespace {

// Runs PickFolder while act works the dialog once it shows. The dialog
// blocks, so a guard closes whatever modal window is left after 10 s: a
// broken test then fails instead of hanging the run.
std::optional<std::string> PickWith(const std::string& title, const std::string& start,
                                    const std::function<void(QFileDialog&)>& act) {
    bool acted = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!acted && dialog != nullptr && dialog->isVisible()) {
            acted = true;
            act(*dialog);
        }
    });
    poll.start(10);
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
        }
    });
    guard.start(10000);
    std::optional<std::string> chosen = PickFolder(title, start);
    EXPECT_TRUE(acted) << "no folder dialog showed";
    return chosen;
}

// Presses one of the dialog's own buttons.
void Press(QFileDialog& dialog, QDialogButtonBox::StandardButton which) {
    auto* buttons = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    ASSERT_NE(buttons, nullptr);
    QPushButton* button = buttons->button(which);
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isEnabled());
    button->click();
}

void Choose(QFileDialog& dialog) {
    Press(dialog, QDialogButtonBox::Open);
}

class PickFolderTest : public ::testing::Test {
  protected:
    PickFolderTest() { m_dir.MakeDirs("顺丰 单号/子目录"); }

    test::TempDir m_dir;
};

TEST_F(PickFolderTest, StartsInTheGivenFolderAndReturnsItWithoutTrailingSeparator) {
    const std::string folder = m_dir / "顺丰 单号";
    const auto chosen = PickWith("选择目标文件夹", folder + "/", [&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle().toStdString(), "选择目标文件夹");
        EXPECT_EQ(dialog.directory().absolutePath().toStdString(), folder);
        Choose(dialog);
    });
    EXPECT_EQ(chosen, folder);
}

TEST_F(PickFolderTest, ReturnsTheFolderTypedIntoTheDialog) {
    const std::string folder = m_dir / "顺丰 单号";
    const auto chosen = PickWith("title", folder, [](QFileDialog& dialog) {
        auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(QString::fromUtf8("子目录"));
        Choose(dialog);
    });
    EXPECT_EQ(chosen, folder + "/子目录");
}

TEST_F(PickFolderTest, StartsInTheNearestExistingParentOfAGoneFolder) {
    const auto chosen = PickWith("title", m_dir / "gone/deeper", [&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.directory().absolutePath().toStdString(), m_dir.Path());
        Choose(dialog);
    });
    EXPECT_EQ(chosen, m_dir.Path());
}

TEST_F(PickFolderTest, ReturnsTheRootWithItsSeparator) {
    const auto chosen = PickWith("title", "/", [](QFileDialog& dialog) { Choose(dialog); });
    EXPECT_EQ(chosen, "/");
}

// The dialog also said "Look in:" and "Cancel" to clerks who read Chinese.
TEST_F(PickFolderTest, ReturnsNothingWhenCancelledAndSpeaksTheProgramsLanguage) {
    const auto chosen = PickWith("title", m_dir.Path(), [](QFileDialog& dialog) {
        auto* lookIn = dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"));
        ASSERT_NE(lookIn, nullptr);
        EXPECT_EQ(lookIn->text().toStdString(), "查找范围：");
        Press(dialog, QDialogButtonBox::Cancel);
    });
    EXPECT_EQ(chosen, std::nullopt);
}

TEST_F(PickFolderTest, ShowsNoDialogOffTheUiThread) {
    std::optional<std::string> chosen = "unset";
    std::thread([&] { chosen = PickFolder("title", m_dir.Path()); }).join();
    EXPECT_EQ(chosen, std::nullopt);
}

}  // namespace
}  // namespace cj::desktop
