#include "engine/RandomSource.h"
#include "platform/AnswerWithoutDisplay.h"
#include "platform/QtPlatform.h"
#include "studio/LiveRender.h"
#include "studio/StudioWindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>

#include <optional>
#include <vector>

namespace {

const QString kNameOption = QStringLiteral("name");

void describe(QCommandLineParser& parser)
{
    parser.setApplicationDescription(
        QStringLiteral("Shapes a fractal by hand: each map is a parallelogram to drag over the live picture."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(
        {kNameOption, QStringLiteral("The entry of a collection (.ifs) to open."), QStringLiteral("ENTRY")});
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("A collection (.ifs), a data file (.tfg) or a PNG it wrote, to open."),
                                 QStringLiteral("[FILE]"));
}

// Takes --name ENTRY (or --name=ENTRY) out of the arguments: Qt's X11 platform
// would read it as its own -name, the window's class, and drop it.
std::optional<QString> takeEntryName(std::vector<char*>& arguments)
{
    std::optional<QString> entry;
    for (std::size_t i = 1; i < arguments.size();) {
        const QString argument = QString::fromLocal8Bit(arguments[i]);
        if (argument == QLatin1String("--name") && i + 1 < arguments.size()) {
            entry = QString::fromLocal8Bit(arguments[i + 1]);
            arguments.erase(arguments.begin() + std::ptrdiff_t(i), arguments.begin() + std::ptrdiff_t(i) + 2);
        } else if (argument.startsWith(QLatin1String("--name="))) {
            entry = argument.mid(7);
            arguments.erase(arguments.begin() + std::ptrdiff_t(i));
        } else {
            ++i;
        }
    }
    return entry;
}

}   // namespace

int main(int argc, char* argv[])
{
    QApplication::setApplicationName(QStringLiteral("fenra-studio"));
    QApplication::setApplicationDisplayName(QStringLiteral("Fenra Studio"));
    QApplication::setApplicationVersion(QStringLiteral(FENRA_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tarnwick.FenraStudio"));

    // --help and --version answer before there is a window, so they need no display.
    if (const std::optional<int> answered = fenra::answerWithoutDisplay(argc, argv, QStringLiteral("fenra-studio"),
                                                                        QStringLiteral(FENRA_VERSION), describe))
        return *answered;

    std::vector<char*> qtArguments(argv, argv + argc);
    const std::optional<QString> entry = takeEntryName(qtArguments);
    int qtArgumentCount = int(qtArguments.size());
    qtArguments.push_back(nullptr);
    QApplication app(qtArgumentCount, qtArguments.data());
    QCommandLineParser commandLine;
    describe(commandLine);
    commandLine.process(app);   // an unknown option ends here with a message
    const QStringList given = commandLine.positionalArguments();
    if (given.size() > 1)
        commandLine.showHelp(2);

    fenra::QtMessages messages;
    fenra::QtFileDialogs dialogs;
    fenra::QtFileStore files;
    fenra::QtQuestions questions;
    fenra::QtClock clock;
    fenra::Pcg32Source random;
    messages.setTitle(QStringLiteral("Fenra Studio"));
    questions.setTitle(QStringLiteral("Fenra Studio"));

    fenra::studio::StudioWindow window({messages, dialogs, files, questions, clock, fenra::dialogStartFolder()}, random,
                                       fenra::studio::LiveRender::threadsLeavingOneCore());
    messages.setParentWindow(&window);
    dialogs.setParentWindow(&window);
    questions.setParentWindow(&window);
    window.show();
    window.activateWindow();   // its shortcuts work at once, also where no window manager gives the focus
    if (!given.isEmpty())
        window.openFile(QFileInfo(given.front()).absoluteFilePath(), entry);
    return app.exec();
}
