#include "ui/frmAbout.h"

#include "ui/CaptionFit.h"
#include "ui/Twips.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>

namespace fenra {

frmAbout::frmAbout(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(twipsRect(0, 0, 4065, 3180).size());

    auto* lblTitle = new QLabel(QStringLiteral("Tarnwick Fenra Game"), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont font = sansSerif();
    font.setPointSize(18);
    lblTitle->setFont(font);
    lblTitle->move(twipsRect(142, 120, 3780, 435).topLeft());
    lblTitle->adjustSize();   // the label is sized to its text
}

void frmAbout::closeEvent(QCloseEvent* event)
{
    event->accept();
    hide();
    emit closed();
}

void frmAbout::keyPressEvent(QKeyEvent* event)
{
    // Escape closes the window as its close button does.
    if (event->key() == Qt::Key_Escape)
        close();
    else
        QWidget::keyPressEvent(event);
}

}   // namespace fenra
