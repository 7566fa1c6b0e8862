#include "studio/StudioWindow.h"

#include "engine/Contraction.h"
#include "studio/LiveRender.h"
#include "studio/MapCanvas.h"
#include "studio/MapsPanel.h"
#include "studio/PictureExport.h"
#include "studio/PictureRequest.h"
#include "studio/RandomMaps.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QThread>
#include <QTimer>

#include <memory>

namespace fenra::studio {
namespace {

const QString kProgram = QStringLiteral("Fenra Studio");

}   // namespace

StudioWindow::StudioWindow(StudioServices services, RandomSource& random, int renderThreads, QWidget* parent)
    : QMainWindow(parent), m_services(services), m_random(random), m_canvas(new MapCanvas(m_document)),
      m_panel(new MapsPanel(m_document)), m_status(new QLabel), m_render(new LiveRender(renderThreads, this))
{
    setObjectName(QStringLiteral("StudioWindow"));
    m_openDialog = {tr("Maps (*.ifs *.tfg *.png);;All files (*)"), services.startFolder, {}};
    m_saveDialog = {tr("Collections (*.ifs);;Fenra data files (*.tfg)"), services.startFolder, {}};
    m_exportDialog = {tr("PNG pictures (*.png)"), services.startFolder, {}};

    auto* splitter = new QSplitter(this);
    splitter->addWidget(m_canvas);
    splitter->addWidget(m_panel);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
    splitter->setCollapsible(1, false);
    setCentralWidget(splitter);
    m_status->setObjectName(QStringLiteral("statusText"));
    statusBar()->addWidget(m_status, 1);
    buildMenus();

    connect(&m_document, &StudioDocument::mapsChanged, this, &StudioWindow::requestPicture);
    connect(&m_document, &StudioDocument::shownChanged, this, &StudioWindow::requestPicture);
    connect(m_canvas, &MapCanvas::viewChanged, this, &StudioWindow::requestPicture);
    connect(&m_document.undoStack(), &QUndoStack::cleanChanged, this, &StudioWindow::updateTitle);
    connect(m_render, &LiveRender::snapshot, this, &StudioWindow::showSnapshot);   // queued: from the render's thread
    connect(m_render, &LiveRender::failed, this, [this](const QString& why) {
        m_notice = why;
        updateStatus();
    });
    connect(m_panel, &MapsPanel::refused, this, [this](const QString& why) {
        m_notice = why;
        updateStatus();
    });

    resize(1280, 760);
    splitter->setSizes({width() - 500, 500});
    m_random.reseed(m_services.clock.secondsSinceMidnight());
    startDocument(randomMaps(m_random), std::nullopt, tr("Random"));
    m_canvas->setFocus();
}

StudioWindow::~StudioWindow() = default;

void StudioWindow::buildMenus()
{
    const auto add = [this](QMenu* menu, const QString& text, const QKeySequence& keys, auto handler) {
        QAction* action = menu->addAction(text, this, handler);
        action->setShortcut(keys);
        return action;
    };
    QMenu* file = menuBar()->addMenu(tr("&File"));
    add(file, tr("&Open…"), QKeySequence::Open, &StudioWindow::openWithDialog);
    add(file, tr("&Save"), QKeySequence::Save, &StudioWindow::save);
    add(file, tr("Save &As…"), QKeySequence::SaveAs, &StudioWindow::saveAs);
    add(file, tr("&Export Picture…"), QKeySequence(tr("Ctrl+E")), &StudioWindow::exportPicture);
    file->addSeparator();
    add(file, tr("&Quit"), QKeySequence::Quit, &QWidget::close);

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    QAction* undo = m_document.undoStack().createUndoAction(this, tr("&Undo"));
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = m_document.undoStack().createRedoAction(this, tr("&Redo"));
    redo->setShortcut(QKeySequence::Redo);
    edit->addActions({undo, redo});
    edit->addSeparator();
    add(edit, tr("&Random"), QKeySequence(tr("Ctrl+R")), &StudioWindow::randomize);
    edit->addSeparator();
    add(edit, tr("&Add Map"), QKeySequence(Qt::Key_Insert), [this] { m_document.addSmallMap(); });
    add(edit, tr("D&uplicate Map"), QKeySequence(tr("Ctrl+D")), [this] { m_document.duplicateSelected(); });
    add(edit, tr("&Delete Map"), QKeySequence(Qt::Key_Delete), [this] { m_document.removeSelected(); });

    QMenu* view = menuBar()->addMenu(tr("&View"));
    add(view, tr("&Frame the Picture"), QKeySequence(Qt::Key_F), &StudioWindow::frameAttractor);
}

void StudioWindow::startDocument(MapList maps, std::optional<MapsSource> source, const QString& name)
{
    m_source = std::move(source);
    m_name = name;
    m_notice.clear();
    m_document.reset(std::move(maps));
    updateTitle();
    // Framed once the canvas has its size.
    QTimer::singleShot(0, this, &StudioWindow::frameAttractor);
}

bool StudioWindow::maySwitchAway()
{
    if (m_document.undoStack().isClean())
        return true;
    switch (m_services.questions.askToSave(
        tr("The maps of \"%1\" have changes that are not saved. Save them?").arg(m_name))) {
    case Questions::SaveChoice::Save:
        return save();
    case Questions::SaveChoice::Discard:
        return true;
    case Questions::SaveChoice::Cancel:
        break;
    }
    return false;
}

void StudioWindow::closeEvent(QCloseEvent* event)
{
    if (maySwitchAway())
        event->accept();
    else
        event->ignore();
}

void StudioWindow::openWithDialog()
{
    if (!maySwitchAway())
        return;
    const QString path = m_services.dialogs.chooseFileToOpen(m_openDialog);
    if (path.isEmpty())
        return;
    m_openDialog.fileName = path;
    openFile(path);
}

bool StudioWindow::openFile(const QString& path, const std::optional<QString>& entry)
{
    const ReadFile read = readMapsFile(m_services.files, path);
    if (!read.error.isEmpty()) {
        m_services.messages.tell(read.error);
        return false;
    }
    if (!read.collection) {
        // A picture's maps have no file to go back to: Save asks for one.
        const std::optional<MapsSource> source =
            read.kind == FileKind::Picture ? std::nullopt : std::optional(MapsSource{path, read.kind, {}});
        startDocument(read.maps, source, QFileInfo(path).fileName());
        return true;
    }
    const IfsCollection& collection = *read.collection;
    QString name;
    if (entry) {
        name = *entry;
    } else if (collection.entries.size() == 1) {
        name = collection.entries.front().name;
    } else {
        const std::optional<QString> chosen = m_services.questions.chooseOne(
            tr("Which entry of %1?").arg(QFileInfo(path).fileName()), collection.names());
        if (!chosen)
            return false;
        name = *chosen;
    }
    const IfsEntry* found = collection.find(name);
    if (!found) {
        m_services.messages.tell(tr("%1 has no entry \"%2\"").arg(path, name));
        return false;
    }
    if (found->threeD) {
        m_services.messages.tell(tr("\"%1\" is a 3D entry; the studio shapes maps of the plane only").arg(name));
        return false;
    }
    startDocument(mapsOfEntry(*found), MapsSource{path, FileKind::Collection, name}, name);
    return true;
}

bool StudioWindow::saveTo(const MapsSource& target)
{
    const SaveResult result = saveMaps(m_services.files, target, m_document.maps());
    if (!result.message.isEmpty())
        m_services.messages.tell(result.message);
    if (!result.saved)
        return false;
    m_source = target;
    m_document.undoStack().setClean();
    updateTitle();
    return true;
}

bool StudioWindow::save()
{
    if (!m_source)
        return saveAs();
    return saveTo(*m_source);
}

bool StudioWindow::saveAs()
{
    QString path = m_services.dialogs.chooseFileToSave(m_saveDialog);
    if (path.isEmpty())
        return false;
    if (!kindForName(path))
        path += QStringLiteral(".ifs");   // a name without a known ending becomes a collection
    m_saveDialog.fileName = path;
    MapsSource target{path, *kindForName(path), {}};
    QString name = QFileInfo(path).fileName();
    if (target.kind == FileKind::Collection) {
        const bool fromCollection = m_source && m_source->kind == FileKind::Collection;
        target.entry = fromCollection ? m_source->entry : QFileInfo(path).completeBaseName();
        const bool sameEntry = m_source && *m_source == target;
        if (!sameEntry && collectionHasEntry(m_services.files, path, target.entry)
            && !m_services.questions.confirm(
                tr("%1 already has an entry \"%2\". Replace it?").arg(QFileInfo(path).fileName(), target.entry)))
            return false;
        name = target.entry;
    }
    if (!saveTo(target))
        return false;
    m_name = name;
    updateTitle();
    return true;
}

void StudioWindow::exportPicture()
{
    if (m_exporting) {
        m_services.messages.tell(tr("A picture is being exported; wait until it is written"));
        return;
    }
    const std::optional<QString> size = m_services.questions.chooseOne(tr("The picture's size:"), exportSizeNames());
    if (!size)
        return;
    QString path = m_services.dialogs.chooseFileToSave(m_exportDialog);
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
        path += QStringLiteral(".png");
    m_exportDialog.fileName = path;
    const int scale = int(exportSizeNames().indexOf(*size)) + 1;
    const PictureChoice choice{scale, exportPoints(scale), kLiveSeed, LiveRender::threadsLeavingOneCore()};
    // The request's own copy: the user goes on editing while it draws.
    const MapList maps = m_document.maps();
    const QString name = m_name;
    auto png = std::make_shared<std::optional<QByteArray>>();
    QThread* worker = QThread::create([maps, name, choice, png] { *png = picturePng(maps, name, choice); });
    m_exporting = true;
    m_notice = tr("Exporting %1…").arg(QFileInfo(path).fileName());
    updateStatus();
    connect(worker, &QThread::finished, this, [this, worker, path, png] {
        worker->deleteLater();
        m_exporting = false;
        m_notice.clear();
        updateStatus();
        std::optional<QString> failure;
        if (!*png)
            failure =
                tr("There is no picture to export: these maps do not contract on average, so their points run off");
        else
            failure = m_services.files.writeWhole(path, **png);
        if (failure)
            m_services.messages.tell(tr("%1 was not written: %2").arg(path, *failure));
        emit pictureExported(path, !failure);
    });
    worker->start();
}

void StudioWindow::randomize()
{
    if (!maySwitchAway())
        return;
    m_random.reseed(m_services.clock.secondsSinceMidnight());
    startDocument(randomMaps(m_random), std::nullopt, tr("Random"));
}

void StudioWindow::frameAttractor()
{
    if (const std::optional<PlaneBox> box = attractorBox(m_document.maps(), m_canvas->size()))
        m_canvas->frameBox(*box);
}

void StudioWindow::updateTitle()
{
    setWindowTitle(QStringLiteral("%1[*] — %2").arg(m_name, kProgram));
    setWindowModified(!m_document.undoStack().isClean());
}

void StudioWindow::requestPicture()
{
    const MapList& maps = m_document.maps();
    m_contracts = contractsOnAverage(affineMaps(maps), weightsOf(maps));
    m_canvas->setWarning(!m_contracts);
    m_notice.clear();
    m_render->draw(liveRequest(maps, m_document.shownFlags(), m_canvas->visibleBox(), m_canvas->devicePixelSize()));
    updateStatus();
}

void StudioWindow::showSnapshot(const QImage& picture, const QRectF& box, qint64 points, double seconds)
{
    m_canvas->setPicture(picture, {box.left(), box.top(), box.right(), box.bottom()});
    m_points = points;
    m_pointsPerSecond = seconds > 0 ? double(points) / seconds : 0.0;
    updateStatus();
    emit pictureShown(points);
}

void StudioWindow::updateStatus()
{
    QStringList parts{tr("%L1 points drawn, %L2 a second").arg(m_points).arg(qint64(m_pointsPerSecond))};
    if (!m_contracts)
        parts += tr("These maps do not contract on average: their points run off and the picture may stay empty");
    if (!m_notice.isEmpty())
        parts += m_notice;
    m_status->setText(parts.join(QStringLiteral("  ·  ")));
}

}   // namespace fenra::studio
