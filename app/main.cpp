#include "engine/RandomSource.h"
#include "platform/AnswerWithoutDisplay.h"
#include "platform/QtPlatform.h"
#include "ui/frmfenra.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>

#include <QStyleFactory>
#include <optional>

namespace {

void describe(QCommandLineParser& parser)
{
    parser.setApplicationDescription(
        QStringLiteral("Draws fractal pictures by random iteration of up to six affine maps."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("FILE"),
        QStringLiteral("A data file (.tfg) to open, as Load Data would, or a PNG that fenra-render wrote, which "
                       "carries its data sets. Only the first file given is opened."),
        QStringLiteral("[FILE]"));
}

}   // namespace

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
    // The files as the system's bytes, so that a name that is not valid UTF-8
    // is told as such, not as a file that is not there: they are the
    // positional arguments in their order among what Qt left of argv.
    const QStringList given = commandLine.positionalArguments();
    QList<QByteArray> givenFiles;
    for (int i = 1; i < argc && givenFiles.size() < given.size(); ++i)
        if (QFile::decodeName(argv[i]) == given[givenFiles.size()])
            givenFiles << QByteArray(argv[i]);

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
    window.openGivenFiles(givenFiles);
    return app.exec();
}
