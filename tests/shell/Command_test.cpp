// The interpreter's words: whole-line, case-sensitive comparison in the table's order.

#include <QTest>

#include "shell/Command.h"

using isotri::CommandKind;
using isotri::ParseCommand;

Q_DECLARE_METATYPE(isotri::CommandKind)

class CommandTest : public QObject {
    Q_OBJECT

  private slots:
    void parse_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<CommandKind>("kind");
        QTest::addColumn<QString>("argument");
        QTest::newRow("quit") << "quit" << CommandKind::Quit << "";
        QTest::newRow("exit") << "exit" << CommandKind::Exit << "";
        QTest::newRow("clear") << "clear" << CommandKind::Clear << "";
        QTest::newRow("helpabout") << "helpabout" << CommandKind::HelpAbout << "";
        QTest::newRow("append") << "append" << CommandKind::Append << "";
        QTest::newRow("plot") << "plot" << CommandKind::Plot << "";
        QTest::newRow("format") << "format" << CommandKind::Format << "";
        QTest::newRow("export") << "export" << CommandKind::Export << "";
        QTest::newRow("capital") << "Plot" << CommandKind::Unknown << "";
        QTest::newRow("leading blank") << " plot" << CommandKind::Unknown << "";
        QTest::newRow("trailing blank") << "plot " << CommandKind::Unknown << "";
        QTest::newRow("prefix of a word") << "plo" << CommandKind::Unknown << "";
        QTest::newRow("word and more") << "quitnow" << CommandKind::Unknown << "";
        QTest::newRow("shell") << "!ls -l > x" << CommandKind::Shell << "ls -l > x";
        QTest::newRow("bare shell mark") << "!" << CommandKind::Shell << "";
        QTest::newRow("shell before words") << "!quit" << CommandKind::Shell << "quit";
        QTest::newRow("at") << "at 0,2 0.3 1" << CommandKind::At << " 0,2 0.3 1";
        QTest::newRow("at alone") << "at" << CommandKind::At << "";
        QTest::newRow("at with a tab") << "at\t1 1 1" << CommandKind::At << "\t1 1 1";
        QTest::newRow("at glued") << "at1 1 1" << CommandKind::Unknown << "";
        QTest::newRow("at capital") << "At 1 1 1" << CommandKind::Unknown << "";
        QTest::newRow("batch alone") << "batch" << CommandKind::BatchAsk << "";
        QTest::newRow("batch blanks") << "batch   " << CommandKind::BatchNoName << "";
        QTest::newRow("batch controls") << "batch\t\x01 " << CommandKind::BatchNoName << "";
        QTest::newRow("batch two blanks") << "batch  a.txt" << CommandKind::BatchFile << "a.txt";
        QTest::newRow("batch no blank") << "batcha.txt" << CommandKind::BatchFile << "a.txt";
        QTest::newRow("trailing blanks kept") << "batch a b  " << CommandKind::BatchFile << "a b  ";
        QTest::newRow("cyrillic name") << "batch\tфайл" << CommandKind::BatchFile << "файл";
        QTest::newRow("batch capital") << "Batch a" << CommandKind::Unknown << "";
        QTest::newRow("fit alone") << "fit" << CommandKind::FitAsk << "";
        QTest::newRow("fit blanks") << "fit \t " << CommandKind::FitNoName << "";
        QTest::newRow("fit name and response")
            << "fit  мои данные.csv Прочность, МПа" << CommandKind::FitFile
            << "мои данные.csv Прочность, МПа";
        QTest::newRow("fit needs a blank") << "fitness" << CommandKind::Unknown << "";
        QTest::newRow("fit capital") << "Fit a.csv" << CommandKind::Unknown << "";
        QTest::newRow("empty") << "" << CommandKind::Unknown << "";
    }
    void parse() {
        QFETCH(QString, line);
        QFETCH(CommandKind, kind);
        QFETCH(QString, argument);
        const isotri::Command command = ParseCommand(line);
        QCOMPARE(command.kind, kind);
        QCOMPARE(command.argument, argument);
    }
};

QTEST_MAIN(CommandTest)
#include "Command_test.moc"
