#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "DataFiles.h"
#include "SpellCheckers.h"
#include "Streams.h"
#include "UnitSpellCheck.h"

using namespace zv;

TEST(FormSpellCheck, PlacesThePromptAndReportsTheAnswer)
{
    const QRect screen(0, 0, 1024, 768);
    const QSize prompt(320, 210);
    // Near the bottom the prompt goes above the word, else 8 pixels below it.
    EXPECT_EQ(TFormSpellCheck::PromptPosition(QRect(100, 600, 60, 20), prompt, screen), QPoint(100, 600 - 210 - 8));
    EXPECT_EQ(TFormSpellCheck::PromptPosition(QRect(100, 300, 60, 20), prompt, screen), QPoint(100, 328));
    // At the right edge it stays on the screen; a prompt made taller than the room above the
    // word stays below a panel along the screen's top.
    EXPECT_EQ(TFormSpellCheck::PromptPosition(QRect(1000, 300, 20, 20), prompt, screen).x(), 1024 - 320);
    EXPECT_EQ(TFormSpellCheck::PromptPosition(QRect(100, 600, 60, 20), QSize(320, 700), QRect(0, 30, 1024, 738)),
              QPoint(100, 30));

    TSpellChecker checker;
    checker.LoadFromText("0relieve\n0receive\n0deceive\n");
    TFormSpellCheck form;
    struct {
        QLineEdit* EditFound;
        QLineEdit* EditSuggestion;
        QListWidget* ListSuggestions;
        QPushButton *ButtonCorrect, *ButtonIgnore, *ButtonCancel;
    } ui{form.findChild<QLineEdit*>("EditFound"),        form.findChild<QLineEdit*>("EditSuggestion"),
         form.findChild<QListWidget*>("ListSuggestions"), form.findChild<QPushButton*>("ButtonCorrect"),
         form.findChild<QPushButton*>("ButtonIgnore"),    form.findChild<QPushButton*>("ButtonCancel")};
    const auto answer = [&](std::function<void()> Action, WideString Word) {
        QTimer::singleShot(0, &form, [&form, Action] {
            EXPECT_TRUE(form.isVisible());
            Action();
        });
        bool corrected = true, canceled = true;
        form.Execute(nullptr, QRect(10, 700, 40, 16), checker, Word, corrected, canceled);
        return std::make_tuple(Word, corrected, canceled);
    };

    // The swapped letters' word comes first and fills the replacement: Correct takes it.
    auto result = answer(
        [&] {
            EXPECT_EQ(ui.EditFound->text(), "recieve");
            ASSERT_EQ(ui.ListSuggestions->count(), 3);
            EXPECT_EQ(ui.EditSuggestion->text(), "receive");
            ui.ListSuggestions->setCurrentRow(1);
            EXPECT_EQ(ui.EditSuggestion->text(), "relieve");
            ui.ListSuggestions->setCurrentRow(0);
            EXPECT_EQ(ui.EditSuggestion->text(), "receive");
            QTest::mouseClick(ui.ButtonCorrect, Qt::LeftButton);
        },
        u"recieve");
    EXPECT_EQ(result, std::make_tuple(WideString(u"receive"), true, false));
    EXPECT_LT(form.y(), 700);

    // Enlarged by the user, taller than the room above the word, the prompt still opens
    // wholly on the screen, from its top; larger than the screen, it is cut to it.
    const QRect area = form.screen()->availableGeometry();
    for (const QSize enlarged : {QSize(400, area.height() - 40), area.size() + QSize(100, 100)}) {
        form.resize(enlarged);
        QRect shown;
        answer([&] { shown = form.frameGeometry(); ui.ButtonIgnore->click(); }, u"recieve");
        EXPECT_TRUE(area.contains(shown)) << shown.x() << "," << shown.y() << " " << shown.width() << "x" << shown.height();
        EXPECT_EQ(shown.top(), area.top());
    }
    EXPECT_EQ(form.frameGeometry(), area);
    form.resize(320, 210);

    // The suggestions take the word's capitals: a word that starts a sentence keeps its capital
    // letter, a word in capitals stays in capitals.
    result = answer(
        [&] {
            ASSERT_EQ(ui.ListSuggestions->count(), 3);
            EXPECT_EQ(ui.ListSuggestions->item(1)->text(), "Relieve");
            EXPECT_EQ(ui.EditSuggestion->text(), "Receive");
            ui.ButtonCorrect->click();
        },
        u"Recieve");
    EXPECT_EQ(std::get<0>(result), u"Receive");
    result = answer([&] { ui.ButtonCorrect->click(); }, u"RECIEVE");
    EXPECT_EQ(std::get<0>(result), u"RECEIVE");

    // a word the list holds in two cases is offered once, in the order of the list
    checker.LoadFromText("0hiss\n0Hiss\n0his\n0ti's\n0Ti's\n");
    result = answer(
        [&] {
            QStringList shown;
            for (int K = 0; K < ui.ListSuggestions->count(); ++K) shown << ui.ListSuggestions->item(K)->text();
            EXPECT_EQ(shown, (QStringList{"Ti's", "Hiss", "His"}));
            ui.ButtonIgnore->click();
        },
        u"Tiss");
    checker.LoadFromText("0relieve\n0receive\n0deceive\n");

    result = answer([&] { ui.ButtonIgnore->click(); }, u"recieve");
    EXPECT_EQ(result, std::make_tuple(WideString(u"recieve"), false, false));

    result = answer([&] { ui.ButtonCancel->click(); }, u"recieve");
    EXPECT_EQ(result, std::make_tuple(WideString(u"recieve"), false, true));

    // The close box cancels the whole check; a word without suggestions leaves the fields empty.
    result = answer(
        [&] {
            EXPECT_EQ(ui.ListSuggestions->count(), 0);
            EXPECT_TRUE(ui.EditSuggestion->text().isEmpty());
            form.close();
        },
        u"xyzzyq");
    EXPECT_EQ(result, std::make_tuple(WideString(u"xyzzyq"), false, true));

    TSpellChecker loaded;
    EXPECT_TRUE(LoadEnglishWordList(loaded, nullptr));
    EXPECT_TRUE(loaded.IsKnownWord("receive"));
}

TEST(FormSpellCheck, WordListIsARegularFileOfTheFirstDataFolderThatHasOne)
{
    // a pipe in the first data folder and a folder in the second are passed over
    const std::vector<std::string> folders = DataFolders();
    ASSERT_GE(folders.size(), 3u);
    const std::string pipe = folders[0] + "/english.wrd";
    const std::string folder = folders[1] + "/english.wrd";
    ASSERT_FALSE(std::filesystem::exists(pipe));
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const bool madeShare = !std::filesystem::exists(folders[1]);
    std::filesystem::create_directories(folder);

    const std::string found = FindDataFile("english.wrd");
    TSpellChecker checker;
    const bool loaded = LoadEnglishWordList(checker, nullptr);
    std::filesystem::remove(pipe);
    std::filesystem::remove_all(madeShare ? folders[1] : folder);

    EXPECT_EQ(found, std::string(ZV_SOURCE_DIR) + "/data/english.wrd");
    EXPECT_TRUE(loaded);
    EXPECT_TRUE(checker.IsKnownWord("receive"));
    EXPECT_EQ(FindDataFolder("english.wrd"), "");
    EXPECT_EQ(FindDataFolder("Templates"), std::string(ZV_SOURCE_DIR) + "/data/Templates");
}
