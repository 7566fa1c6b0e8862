#include "engine/RandomSource.h"
#include "platform/AnswerWithoutDisplay.h"
#include "platform/QtPlatform.h"
#include "ui/frmfenra.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>

#include <optional>
#include <QStyleFactory>


namespace {

void describe(QCommandLineParser& parser)
{
    parser.setApplicationDescription(QStringLiteral("Draws fractal pictures by random iteration of up to six affine maps."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("A data file (.tfg) to open, as Load Data would."),
                                 QStringLiteral("[FILE]"));
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication::setApplicationName(QStringLiteral("fenra"));
    QApplication::setApplicationVersion(QStringLiteral(FENRA_VERSION));
    // The window's class on X11 and its id on Wayland: the desktop matches
    // the window to its launcher by it.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tarnwick.Fenra"));

    // --help and --version answer before there is a window, so they need no display.
    if (const std::optional<int> answered =
            fenra::answerWithoutDisplay(argc, argv, QStringLiteral("fenra"), QStringLiteral(FENRA_VERSION), describe))
        return *answered;

    QApplication app(argc, argv);   // takes Qt's own options (-platform, -style, ...) out first
    QCommandLineParser commandLine;
    describe(commandLine);
    commandLine.process(app);   // an unknown option ends here with a message
    const QStringList given = commandLine.positionalArguments();
    if (given.size() > 1)
        commandLine.showHelp(2);

    // The window is laid out pixel by pixel for classic controls: framed
    // group boxes with the caption in the line, slim combo-box arrows.
    if (QStyle* classic = QStyleFactory::create(QStringLiteral("Windows")))
        QApplication::setStyle(classic);

    fenra::QtBeeper beeper;
    fenra::QtClock clock;
    fenra::QtMessages messages;
    fenra::QtFileDialogs dialogs;
    fenra::QtFileStore files;
    fenra::Pcg32Source random;

    fenra::frmfenra window({beeper, clock, messages, dialogs, files, fenra::dialogStartFolder()}, random);
    messages.setParentWindow(&window);
    dialogs.setParentWindow(&window);
    window.show();
    if (!given.isEmpty())
        window.openDataFile(QFileInfo(given.front()).absoluteFilePath());
    return app.exec();
}
