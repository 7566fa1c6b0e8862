#include "engine/RandomSource.h"
#include "platform/QtPlatform.h"
#include "ui/frmfenra.h"

#include <QApplication>
#include <QStyleFactory>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("The Fenra Game"));
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

    fenra::frmfenra window({beeper, clock, messages, dialogs, files, fenra::programFolder()}, random);
    messages.setParentWindow(&window);
    dialogs.setParentWindow(&window);
    window.show();
    return app.exec();
}
