#include "app/Profile.h"
#include "tests/support/ScriptedPromptService.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

TEST(ScriptedPrompts, InstallThemselvesAndAnswerInOrder) {
    {
        CScriptedPromptService prompts;
        EXPECT_EQ(&CPromptService::Current(), &prompts);
        prompts.QueueAnswer(QMessageBox::No);
        EXPECT_EQ(CPromptService::Current().ShowMessage(nullptr, "Sure?", "Blurtle (TM)",
                                                        QMessageBox::Yes | QMessageBox::No),
                  QMessageBox::No);
        EXPECT_EQ(CPromptService::Current().ShowMessage(nullptr, "Gone", "Blurtle (TM)"),
                  QMessageBox::Ok);
        EXPECT_EQ(prompts.MessageTexts(), QStringList({"Sure?", "Gone"}));
        EXPECT_TRUE(CPromptService::Current().ChooseFileToOpen(nullptr, "a", "b", "c").isEmpty());
    }
    EXPECT_NE(dynamic_cast<CWidgetPromptService*>(&CPromptService::Current()), nullptr);
}

TEST(Profile, KeepsKeysInTheGeneralGroupOfTheTestHome) {
    EXPECT_FALSE(Profile::Contains("Category"));
    EXPECT_EQ(Profile::GetInt("x", -1), -1);
    Profile::WriteString("Category", "");
    EXPECT_TRUE(Profile::Contains("Category"));
    EXPECT_EQ(Profile::GetString("Category", "default"), "");
    Profile::WriteInt("x", 42);
    EXPECT_EQ(Profile::GetInt("x", -1), 42);
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    EXPECT_FALSE(config.startsWith(QDir::homePath() + "/.config")) << config.toStdString();
}
