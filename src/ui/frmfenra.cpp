#include "ui/frmfenra.h"

#include "engine/NumberText.h"
#include "engine/RandomSource.h"
#include "engine/RenderRun.h"
#include "generate/RandomizeDataSets.h"
#include "platform/Beeper.h"
#include "platform/Clock.h"
#include "platform/Messages.h"
#include "ui/Artwork.h"
#include "ui/CaptionFit.h"
#include "ui/CommandButton.h"
#include "ui/DataSetCount.h"
#include "ui/DrawingArea.h"
#include "ui/SlimComboStyle.h"
#include "ui/Twips.h"
#include "ui/frmAbout.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include <utility>

namespace fenra {
namespace {

template <typename Widget>
Widget* place(Widget* widget, const char* name, const QRect& geometry)
{
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(geometry);
    return widget;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption, const QRect& geometry)
{
    auto* label = place(new QLabel(caption, parent), name, geometry);
    label->setFocusPolicy(Qt::NoFocus);
    return label;
}

QLineEdit* makeTextBox(QWidget* parent, const char* name, const QString& text, int maxLength, const QRect& geometry)
{
    auto* box = place(new QLineEdit(parent), name, geometry);
    if (maxLength > 0)
        box->setMaxLength(maxLength);
    box->setText(text);
    return box;
}

// An editable list whose text is compared exactly: no completion, and Enter
// never adds the typed text to the list.
QComboBox* makeComboBox(QWidget* parent, const char* name, const QStringList& items, const QString& text, QStyle* style,
                        const QRect& geometry)
{
    auto* combo = place(new QComboBox(parent), name, geometry);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    combo->addItems(items);
    combo->setEditText(text);
    combo->setStyle(style);
    return combo;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, const QRect& geometry)
{
    auto* button = place(new CommandButton(caption, parent), name, geometry);
    // Enter on a focused button presses that button.
    button->setAutoDefault(true);
    return button;
}

QProgressBar* makeProgressBar(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* bar = place(new QProgressBar(parent), name, geometry);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    return bar;
}

// The local files a drag carries, as the system's bytes: a URL's path holds
// them percent-encoded, whatever their encoding.
QList<QByteArray> droppedFiles(const QMimeData* mime)
{
    QList<QByteArray> files;
    for (const QUrl& url : mime ? mime->urls() : QList<QUrl>())
        if (url.isLocalFile())
            files << QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    return files;
}

const QString kTdgFilter = QStringLiteral("Tarnwick Fenra Games (*.tfg)");
const QString kBmpFilter = QStringLiteral("Windows Bitmap (*.bmp)");

}   // namespace

frmfenra::frmfenra(Platform platform, RandomSource& random, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint
                          | Qt::MSWindowsFixedSizeDialogHint),
      m_comboStyle(std::make_unique<SlimComboStyle>()), m_platform(platform), m_random(random),
      m_about(std::make_unique<frmAbout>())
{
    setObjectName(QStringLiteral("frmfenra"));
    setWindowTitle(QStringLiteral("The Fenra Game     "));
    setWindowIcon(programIcon());
    setFixedSize(twipsRect(0, 0, 11910, 8235).size());
    // The drawing area first, so the Options frame and Start reach over its top edge.
    pctdisplay = place(new DrawingArea(this), "pctdisplay", twipsRect(0, 2520, 11970, 5775));
    pctdisplay->setToolTip(QStringLiteral("The display where the points are plotted from the equation"));

    buildDataSetFrames();
    buildOptions();
    buildBatch();
    buildButtons();
    setTabOrder();
    connectHandlers();

    // The layout was measured for a small 8-point sans-serif; whatever face
    // the system gives is made small enough for every caption to fit.
    fitCaptions(*this, sansSerif(), 11, 8);
    for (QLabel* row : lbldata)
        row->adjustSize();   // sized to its caption, in the font it shows

    CommonDialog1.filter = kTdgFilter;
    CommonDialog2.filter = kBmpFilter;
    connect(m_about.get(), &frmAbout::closed, this, &frmfenra::aboutClosed);

    // Enter presses Start wherever the focus is, unless a button has it; a
    // file dropped anywhere on the window is opened.
    setAcceptDrops(true);
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);

    Form_Load();
}

frmfenra::~frmfenra() = default;

void frmfenra::buildDataSetFrames()
{
    for (int k = 1; k <= 6; ++k) {
        const std::size_t K = std::size_t(k - 1);
        const QByteArray frameName = "fradata" + QByteArray::number(k);
        auto* frame = place(new QGroupBox(QStringLiteral("Data Set %1").arg(k), this), frameName.constData(),
                            twipsRect(60 + 1380 * (k - 1), 0, 1395, 2235));
        frame->setFocusPolicy(Qt::NoFocus);
        m_frames[K] = frame;

        for (int i = 0; i < 6; ++i) {
            const QByteArray boxName = "txtdata" + QByteArray::number(k) + "(" + QByteArray::number(i) + ")";
            m_boxes[K][std::size_t(i)] = makeTextBox(frame, boxName.constData(), QString(), kCoefficientWidth,
                                                     twipsRect(240, 180 + 300 * i, 1095, 255));
            const int labelIndex = 6 * (k - 1) + i;
            const QByteArray labelName = "lbldata(" + QByteArray::number(labelIndex) + ")";
            lbldata[std::size_t(labelIndex)] = makeLabel(frame, labelName.constData(), QStringLiteral("%1:").arg(i + 1),
                                                         twipsRect(60, 180 + 300 * i, 135, 195));
        }

        const QByteArray showName = "chkvar" + QByteArray::number(k);
        auto* show =
            place(new QCheckBox(QStringLiteral("Show"), frame), showName.constData(), twipsRect(240, 1980, 825, 195));
        show->setChecked(true);
        show->setToolTip(QStringLiteral("Show the points created by Data Set %1").arg(k));
        m_showBoxes[K] = show;
    }
}

void frmfenra::buildOptions()
{
    auto* f = place(new QGroupBox(QStringLiteral("Options"), this), "fraOptions", twipsRect(8400, 0, 1575, 2535));
    f->setFocusPolicy(Qt::NoFocus);

    lblrand = makeLabel(f, "lblrand", QStringLiteral("Random #'s:"), twipsRect(60, 240, 900, 195));
    cborand = makeComboBox(f, "cborand", {"2", "3", "4", "5", "6"}, QStringLiteral("0"), m_comboStyle.get(),
                           twipsRect(1080, 120, 390, 315));
    cborand->setToolTip(QStringLiteral("The amount of random numbers that will be picked for the equation"));
    makeLabel(f, "lblIter", QStringLiteral("Iterations:"), twipsRect(60, 540, 690, 195));
    txtIter = makeTextBox(f, "txtIter", QStringLiteral("5000"), 5, twipsRect(840, 480, 615, 285));
    txtIter->setToolTip(QStringLiteral("The number of times the equation will calculated"));

    optclrwhite = place(new QRadioButton(QStringLiteral("White"), f), "optclrwhite", twipsRect(120, 720, 735, 195));
    optclrwhite->setToolTip(QStringLiteral("All of the points on the display will be white"));
    optclrrand = place(new QRadioButton(QStringLiteral("Random"), f), "optclrrand", twipsRect(360, 960, 975, 195));
    optclrrand->setToolTip(QStringLiteral("There will be a random color for each point on the display"));
    optclrrule = place(new QRadioButton(QStringLiteral("Data"), f), "optclrrule", twipsRect(600, 1200, 735, 195));
    optclrrule->setToolTip(
        QStringLiteral("The points on the display will be colored according to what random number was picked"));
    optclrrand->setChecked(true);
    // Tab reaches only the selected option, in both directions: the group is one stop.
    for (QRadioButton* option : {optclrwhite, optclrrand, optclrrule})
        connect(option, &QRadioButton::toggled, this, &frmfenra::showColourOptionsAsOneStop);
    showColourOptionsAsOneStop();

    makeLabel(f, "lblMoveX", QStringLiteral("Right:"), twipsRect(480, 1440, 420, 195));
    txtMoveX = makeTextBox(f, "txtMoveX", QStringLiteral("0"), 0, twipsRect(960, 1440, 495, 285));
    txtMoveX->setToolTip(QStringLiteral("Move the image that appears on the display to the right"));
    makeLabel(f, "lblMovey", QStringLiteral("Down"), twipsRect(480, 1800, 420, 195));
    txtMoveY = makeTextBox(f, "txtMoveY", QStringLiteral("0"), 0, twipsRect(960, 1800, 495, 285));
    txtMoveY->setToolTip(QStringLiteral("Move the image that appears on the display downwards"));
    makeLabel(f, "lblZoom", QStringLiteral("Zoom:"), twipsRect(360, 2160, 450, 195));
    cboZoom = makeComboBox(f, "cboZoom", {"0.25x", "0.5x", "1x", "2x", "4x", "8x"}, QStringLiteral("1x"),
                           m_comboStyle.get(), twipsRect(840, 2160, 555, 315));
    cboZoom->setToolTip(QStringLiteral("Zoom the image in or out"));
}

void frmfenra::showColourOptionsAsOneStop()
{
    for (QRadioButton* option : {optclrwhite, optclrrand, optclrrule})
        option->setFocusPolicy(option->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
}

void frmfenra::buildBatch()
{
    auto* fraSave = place(new QGroupBox(QStringLiteral("Batch"), this), "fraSave", twipsRect(9960, 0, 1095, 1455));
    fraSave->setFocusPolicy(Qt::NoFocus);
    lblSave = makeLabel(fraSave, "lblSave", QStringLiteral("Runs:"), twipsRect(120, 240, 420, 195));
    txtArray = makeTextBox(fraSave, "txtArray", QStringLiteral("0"), 2, twipsRect(600, 240, 375, 285));
    txtArray->setToolTip(QStringLiteral("The number of images you want to create"));
    cmdSaveBatch = makeButton(fraSave, "cmdSaveBatch", QStringLiteral("Random Batch"), twipsRect(120, 600, 855, 495));
    cmdSaveBatch->setToolTip(
        QStringLiteral("Creates a batch of images automatically, and saves the data and the image."));
    prgArray = makeProgressBar(fraSave, "prgArray", twipsRect(120, 1200, 855, 135));
}

void frmfenra::buildButtons()
{
    cmdSavePicture =
        makeButton(this, "cmdSavePicture", QStringLiteral("Save Picture"), twipsRect(10080, 1560, 1095, 255));
    cmdSavePicture->setToolTip(QStringLiteral("Save the image on the display as a Windows Bitmap image file"));
    cmdRandom = makeButton(this, "cmdRandom", QStringLiteral("Random"), twipsRect(10080, 1920, 1095, 255));
    cmdRandom->setToolTip(QStringLiteral("Create random data in the data sets and start the equation loop"));
    cmdStart = makeButton(this, "cmdStart", QStringLiteral("Start"), twipsRect(10080, 2280, 1095, 255));
    cmdStart->setDefault(true);
    cmdAbout = makeButton(this, "cmdAbout", QStringLiteral("About"), twipsRect(11160, 120, 615, 315));
    cmdAbout->setToolTip(QStringLiteral("About the Tarnwick Fenra Game"));
    cmdSave = makeButton(this, "cmdSave", QStringLiteral("Save Data"), twipsRect(11160, 600, 615, 435));
    cmdSave->setToolTip(QStringLiteral("Save the current data for retrieval"));
    cmdLoad = makeButton(this, "cmdLoad", QStringLiteral("Load Data"), twipsRect(11160, 1080, 615, 435));
    cmdLoad->setToolTip(QStringLiteral("Retrieve a previously saved data set"));

    Picture1 = makeLabel(this, "Picture1", QString(), twipsRect(11280, 1560, 615, 855));
    Picture1->setPixmap(QPixmap::fromImage(logoImage()));
    Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Picture1->setFocusPolicy(Qt::StrongFocus);

    prgIter = makeProgressBar(this, "prgIter", twipsRect(60, 2280, 8295, 195));
}

void frmfenra::setTabOrder()
{
    QList<QWidget*> order{cmdStart};
    for (std::size_t k = 0; k < 6; ++k) {
        order.append(QList<QWidget*>(m_boxes[k].begin(), m_boxes[k].end()));
        if (k == 3)   // the drawing area comes after data set 4
            order.append(pctdisplay);
    }
    for (QCheckBox* show : m_showBoxes)
        order.append(show);
    order.append({cborand, txtIter, cmdRandom, txtArray, cmdSaveBatch, cmdLoad, cmdSave, cmdSavePicture, cmdAbout,
                  optclrrule, optclrwhite, optclrrand, cboZoom, txtMoveY, txtMoveX, Picture1});
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

void frmfenra::connectHandlers()
{
    connect(cmdStart, &QPushButton::clicked, this, &frmfenra::cmdStart_Click);
    connect(cmdRandom, &QPushButton::clicked, this, &frmfenra::cmdRandom_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmfenra::cmdSave_Click);
    connect(cmdLoad, &QPushButton::clicked, this, &frmfenra::cmdLoad_Click);
    connect(cmdSavePicture, &QPushButton::clicked, this, &frmfenra::cmdSavePicture_Click);
    connect(cmdSaveBatch, &QPushButton::clicked, this, &frmfenra::cmdSaveBatch_Click);
    connect(cmdAbout, &QPushButton::clicked, this, &frmfenra::cmdAbout_Click);
    // Typing, choosing an item and setting the text from code all change the edit text.
    connect(cborand, &QComboBox::editTextChanged, this, &frmfenra::cborand_Change);
    connect(cborand, &QComboBox::activated, this, &frmfenra::cborand_Click);
}

void frmfenra::Form_Load()
{
    cborand->setEditText(QStringLiteral("2"));
    DataSetTexts sets = dataSets();
    RandomizeDataSets(sets, m_random, m_platform.clock.secondsSinceMidnight());
    showCoefficients(sets);
    CommonDialog1.folder = m_platform.startFolder;
    CommonDialog2.folder = m_platform.startFolder;
}

QLineEdit* frmfenra::coefficientBox(int set, int coefficient) const
{
    return m_boxes[std::size_t(set - 1)][std::size_t(coefficient - 1)];
}

DataSetTexts frmfenra::dataSets() const
{
    DataSetTexts sets;
    sets.count = cborand->currentText();
    for (int k = 1; k <= 6; ++k)
        for (int j = 1; j <= 6; ++j)
            sets.sets[std::size_t(k - 1)][std::size_t(j - 1)] = coefficientBox(k, j)->text();
    return sets;
}

void frmfenra::showCoefficients(const DataSetTexts& sets)
{
    for (int k = 1; k <= 6; ++k)
        for (int j = 1; j <= 6; ++j)
            coefficientBox(k, j)->setText(sets.sets[std::size_t(k - 1)][std::size_t(j - 1)]);
}

RunSettingsTexts frmfenra::runSettings() const
{
    RunSettingsTexts settings;
    settings.iterations = txtIter->text();
    settings.zoom = cboZoom->currentText();
    settings.moveX = txtMoveX->text();
    settings.moveY = txtMoveY->text();
    // The first selected option counts, in this order.
    settings.colour = optclrrand->isChecked()    ? ColourMode::Random
                      : optclrwhite->isChecked() ? ColourMode::White
                                                 : ColourMode::Data;
    for (int k = 1; k <= 6; ++k)
        settings.show[std::size_t(k - 1)] = showBox(k)->checkState() == Qt::Checked;
    return settings;
}

std::optional<RunPlan> frmfenra::planOrRefuse()
{
    RunPlanResult result = planRun(runSettings());
    if (!result.plan) {
        const QString field = captionOf(result.refused);
        m_platform.messages.tell(
            result.refused == RunField::Iterations
                ? QStringLiteral("\"%1\" must be a whole number from -2147483648 to 2147483647. Nothing was drawn.")
                      .arg(field)
                : QStringLiteral("\"%1\" must be a number (twips). Nothing was drawn.").arg(field));
    }
    return result.plan;
}

bool frmfenra::countIsNumberOrRefuse()
{
    if (toDouble(cborand->currentText()))
        return true;
    m_platform.messages.tell(
        QStringLiteral("\"%1\" must be a number. The data sets were not changed.").arg(lblrand->text()));
    return false;
}

void frmfenra::cmdStart_Click()
{
    if (const std::optional<RunPlan> plan = planOrRefuse())
        render(*plan);
}

// A run or a batch holds the window: it keeps repainting and its bars move,
// while clicks and keys wait in the queue and are handled in their order when
// the work is done (Start pressed twice makes two runs). A close and files
// dropped meanwhile follow then too.
frmfenra::Busy::Busy(frmfenra& window) : m_window(window)
{
    if (m_window.m_busy++ == 0)
        m_window.m_sinceProgress.start();
}

frmfenra::Busy::~Busy()
{
    if (--m_window.m_busy > 0)
        return;
    if (!m_window.m_droppedMeanwhile.isEmpty())
        QMetaObject::invokeMethod(
            &m_window,
            [window = &m_window, files = std::exchange(m_window.m_droppedMeanwhile, {})] {
                window->openGivenFiles(files);
            },
            Qt::QueuedConnection);
    if (m_window.m_closeWhenIdle)
        QMetaObject::invokeMethod(&m_window, &QWidget::close, Qt::QueuedConnection);
}

bool frmfenra::timeToShowProgress() { return m_busy > 0 && m_sinceProgress.elapsed() >= progressEvery.count(); }

// Repaints what changed and handles timers and the desktop's requests; the
// user's clicks, keys and wheel turns stay queued for after the work.
void frmfenra::repaintMeanwhile()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    m_sinceProgress.restart();
}

void frmfenra::render(const RunPlan& plan)
{
    const Busy busy(*this);
    if (plan.iterations >= 1)
        prgIter->setMaximum(plan.iterations);
    renderRun(dataSets(), plan, m_currentMap, m_random, pctdisplay->raster(), [this](std::int64_t done) {
        if (!timeToShowProgress())
            return;
        prgIter->setValue(int(done));
        pctdisplay->update();
        repaintMeanwhile();
    });
    pctdisplay->update();
    if (plan.iterations >= 1) {
        prgIter->setValue(plan.iterations);
    } else {
        // A range of 0 to 0 would show a busy bar; an empty one says nothing was computed.
        prgIter->setRange(0, 1);
        prgIter->setValue(0);
    }
    m_platform.beeper.beep();
}

void frmfenra::cmdRandom_Click()
{
    // Everything that could stop the run is checked before the data sets change.
    if (!countIsNumberOrRefuse() || !planOrRefuse())
        return;
    DataSetTexts sets = dataSets();
    RandomizeDataSets(sets, m_random, m_platform.clock.secondsSinceMidnight());
    showCoefficients(sets);
    cmdStart_Click();
}

void frmfenra::cborand_Change() { ShowDataSetFrames(); }

void frmfenra::cborand_Click() { cborand_Change(); }

void frmfenra::ShowDataSetFrames()
{
    const std::optional<int> shown = framesShownFor(cborand->currentText());
    if (!shown)
        return;
    for (int k = 1; k <= 6; ++k)
        dataSetFrame(k)->setVisible(k <= *shown);
}

void frmfenra::cmdAbout_Click()
{
    // Opens over the middle of the main window.
    QRect placed = m_about->frameGeometry();
    placed.moveCenter(frameGeometry().center());
    m_about->move(placed.topLeft());
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
    setEnabled(false);
}

void frmfenra::aboutClosed()
{
    if (m_closing)
        return;
    setEnabled(true);
    show();
    raise();
    activateWindow();
}

void frmfenra::closeEvent(QCloseEvent* event)
{
    if (m_busy > 0) {
        m_closeWhenIdle = true;
        event->ignore();
        return;
    }
    // Closing never asks: the About window goes with it and the program ends.
    m_closing = true;
    m_about->close();
    event->accept();
}

// Every control of the window passes its events through here first.
bool frmfenra::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        if (takeDroppedFiles(static_cast<QDropEvent*>(event)))
            return true;
        break;
    case QEvent::KeyPress:
        if (enterPressesStart(watched, static_cast<QKeyEvent*>(event)))
            return true;
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

// A drag that carries local files may drop anywhere on the window; a drop
// opens them. The desktop delivers a drop even while a run works; it is taken
// after the work, never between a batch's run and its data file.
bool frmfenra::takeDroppedFiles(QDropEvent* event)
{
    const QList<QByteArray> files = droppedFiles(event->mimeData());
    if (files.isEmpty())
        return false;
    event->acceptProposedAction();
    if (event->type() == QEvent::Drop)
        m_busy > 0 ? void(m_droppedMeanwhile += files) : openGivenFiles(files);
    return true;
}

// Enter presses Start wherever the focus is in this window, unless a button
// has it (that button presses itself) or the window waits for About.
bool frmfenra::enterPressesStart(QObject* watched, const QKeyEvent* key)
{
    auto* widget = qobject_cast<QWidget*>(watched);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (!enter || !widget || widget->window() != this || qobject_cast<QPushButton*>(widget) || !isEnabled())
        return false;
    cmdStart->click();
    return true;
}

}   // namespace fenra
