// The File and Options commands: list refresh on a change of tab, the manuals, the
// format pictures, the About window and the Preferences dialog's result.
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>

#include "shell/ui/preferences_dialog.h"
#include "ui_mainwindow.h"
#include "window_fixture.h"

using namespace window_test;

namespace {

bool listed(QWidget* tab, const char* combo, const QString& name)
{
    auto* box = tab->findChild<QComboBox*>(combo);
    return box && box->findText(name) >= 0;
}

} // namespace

TEST_F(WindowTest, TabChangeRefreshesTheListsOnceWhenAStoredItemChanged)
{
    writePreferences({{"hideSolid", false}, {"default_tab", 0}});
    build();
    auto& f = form();
    app.write("Data/Propellants.json", R"({"Saved propellant": {}})");
    refreshFlag.store(1);
    f.tabs->setCurrentIndex(2);
    EXPECT_TRUE(listed(f.NozzleWin, "comb_prop", "Saved propellant"));
    EXPECT_TRUE(listed(f.DataWin, "comb_prop", "Saved propellant"));
    EXPECT_EQ(refreshFlag.load(), 0);

    // Without a new save a further change of tab reads nothing.
    app.write("Data/Propellants.json", R"({"Saved propellant": {}, "Later one": {}})");
    f.tabs->setCurrentIndex(3);
    EXPECT_FALSE(listed(f.NozzleWin, "comb_prop", "Later one"));
    EXPECT_FALSE(listed(f.DataWin, "comb_prop", "Later one"));

    // Hiding the solids while the grain tab is current moves to another tab, which
    // refreshes as any change of tab does.
    f.tabs->setCurrentIndex(1);
    refreshFlag.store(1);
    f.actionHide_solid_motor_simulation->setChecked(true);
    EXPECT_EQ(refreshFlag.load(), 0);
    EXPECT_TRUE(listed(f.DataWin, "comb_prop", "Later one"));
}

TEST_F(WindowTest, ManualsOpenAsFileUrlsBesideTheProgram)
{
    build();
    form().actionUsers_Manual->trigger();
    form().actionFull_Documentation->trigger();
    ASSERT_EQ(urls.size(), 2u);
    EXPECT_TRUE(urls[0].isLocalFile());
    EXPECT_EQ(urls[0].toLocalFile(), QString::fromStdString(app.path() + "/Documentation/KAVRO_User_Manual.pdf"));
    EXPECT_EQ(urls[1].toLocalFile(),
              QString::fromStdString(app.path() + "/Documentation/KAVRO_Full_Documentation.pdf"));
}

// Without a program for PDF files the desktop cannot open a manual, and nothing would
// show: the user is told where the PDF file is, to open it by other means.
TEST_F(WindowTest, AManualThatCannotBeOpenedIsNamedWithItsPlace)
{
    build();
    app.write("Documentation/KAVRO_User_Manual.pdf", "%PDF-1.4\n");
    urlOpens = false;
    form().actionUsers_Manual->trigger();
    form().actionFull_Documentation->trigger();
    ASSERT_EQ(urls.size(), 2u);
    ASSERT_EQ(messages.messages().size(), 2u);
    const QString manual = QString::fromStdString(app.path() + "/Documentation/KAVRO_User_Manual.pdf");
    const QString documentation = QString::fromStdString(app.path() + "/Documentation/KAVRO_Full_Documentation.pdf");
    EXPECT_EQ(messages.texts()[0], "The User Manual could not be opened: no program to show PDF files was found");
    EXPECT_TRUE(messages.messages()[0].informativeText.contains(manual));
    EXPECT_EQ(messages.parents()[0], window.get());
    // A manual missing from its folder is named as missing.
    EXPECT_EQ(messages.texts()[1], "The Full Documentation could not be opened: the file was not found");
    EXPECT_TRUE(messages.messages()[1].informativeText.contains(documentation));

    // Opened by the desktop: nothing to say.
    messages.clear();
    urlOpens = true;
    form().actionUsers_Manual->trigger();
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(WindowTest, FormatWindowsShowTheirPictureAtThreeQuartersOfTheWindow)
{
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(Qt::red);
    for (const char* name : {"Thermo_format.png", "Transport_format.png", "Kinetics_format.png"}) {
        app.write("Graphics/.keep", "");
        ASSERT_TRUE(picture.save(QString::fromStdString(app.path() + "/Graphics/" + name)));
    }
    build();
    std::vector<bool> pictureShown;
    inspectDialog = [&](QDialog* dialog) {
        auto* label = dialog->findChild<QLabel*>();
        pictureShown.push_back(label && !label->pixmap().isNull() && label->hasScaledContents());
    };
    form().actionThermo_input_file_format->trigger();
    form().actionTransport_input_file_format->trigger();
    form().actionKinetics_input_file_format->trigger();
    ASSERT_EQ(dialogs.size(), 3u);
    const char* titles[] = {"KAVRO - Thermo format", "KAVRO - Transport format", "KAVRO - Kinetics format"};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(titles[i]);
        EXPECT_EQ(dialogs[i].title, titles[i]);
        EXPECT_EQ(dialogs[i].fixedSize, QSize(978, 504)); // 0.75 x 1305 x 673, truncated
        EXPECT_TRUE(dialogs[i].deleteOnClose);
        EXPECT_EQ(dialogs[i].parent, window.get());
        EXPECT_TRUE(pictureShown[i]);
    }
    // Closed windows go: nothing piles up under the main window.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window->findChildren<QDialog*>(QString(), Qt::FindDirectChildrenOnly).isEmpty());
}

TEST_F(WindowTest, AboutShowsTheLogoFittedBesideTheCredits)
{
    QImage logo(400, 100, QImage::Format_RGB32); // wide: its width limits the fit
    logo.fill(Qt::blue);
    app.write("Graphics/.keep", "");
    ASSERT_TRUE(logo.save(QString::fromStdString(app.path() + "/Graphics/Logo_KAVRO.png")));
    build();
    QSize logoSize;
    QString credits;
    bool readOnly = false;
    inspectDialog = [&](QDialog* dialog) {
        if (auto* label = dialog->findChild<QLabel*>("label_logo"))
            logoSize = label->pixmap().size();
        if (auto* text = dialog->findChild<QTextEdit*>()) {
            credits = text->toPlainText();
            readOnly = text->isReadOnly();
        }
    };
    form().actionAbout_KAVRO->trigger();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].title, "KAVRO - About the application");
    EXPECT_EQ(dialogs[0].fixedSize, QSize(652, 336));
    EXPECT_TRUE(dialogs[0].deleteOnClose);
    // The box is a quarter of 1305 wide (326) by half of 673 high (336): 400 x 100 scales to 326 x 81.5.
    EXPECT_EQ(logoSize.width(), 326);
    EXPECT_NEAR(logoSize.height(), 81.5, 1.0);
    EXPECT_TRUE(readOnly);
    EXPECT_TRUE(credits.contains("KAVRO"));
}

TEST_F(WindowTest, PreferencesResultBitsApplyWhatTheyName)
{
    writePreferences({{"hideSolid", false}});
    build();
    auto& f = form();
    auto* plotButton = f.DataWin->findChild<QPushButton*>("but_plot");
    ASSERT_NE(plotButton, nullptr);
    const QString plotCaption = plotButton->text();

    // Nothing saved: nothing re-applied.
    TYPE_RESULTS = 1;
    qApp->setStyleSheet(QString());
    dialogResult = 0;
    f.actionPreferences->trigger();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].className, "Preferences");
    EXPECT_EQ(dialogs[0].parent, window.get());
    EXPECT_EQ(plotButton->text(), plotCaption);
    EXPECT_TRUE(qApp->styleSheet().isEmpty());

    // 0x2: the results view follows TYPE_RESULTS; 0x4: style and palette re-applied.
    dialogResult = 0x2 | 0x4;
    f.actionPreferences->trigger();
    EXPECT_EQ(plotButton->text(), "Show data");
    EXPECT_EQ(qApp->styleSheet(), "QWidget {color: black;}");
    // One Preferences dialog is kept at a time.
    EXPECT_EQ(window->findChildren<Preferences*>().size(), 1);

    // 0x40000000: the lock of baby mode.
    dialogResult = 0x40000000;
    f.actionPreferences->trigger();
    EXPECT_TRUE(f.actionBaby_mode->isChecked());
    EXPECT_FALSE(f.actionBaby_mode->isEnabled());
    EXPECT_TRUE(babyModeActive);
    TYPE_RESULTS = 0;
}
