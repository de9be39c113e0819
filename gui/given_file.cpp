#include "gui/given_file.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include "document/document.h"
#include "gui/Quil_gui.h"

namespace {

QString absolute(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// The first dropped URL when it is a local file that is not a folder.
QString dropped_file(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls()) return {};
    const QList<QUrl> urls = data->urls();
    if (urls.isEmpty() || !urls.front().isLocalFile()) return {};
    const QString path = urls.front().toLocalFile();
    if (path.isEmpty() || QFileInfo(path).isDir()) return {};
    return absolute(path);
}

// Sits on the application, because the edits would otherwise take a file
// drag as text and paste its path.
class FileDropFilter : public QObject {
public:
    explicit FileDropFilter(TForm_quil& window) : QObject(&window), window_(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget == nullptr || widget->window() != &window_) return false;
        auto* drop = static_cast<QDropEvent*>(event);
        const QString path = dropped_file(drop->mimeData());
        // A move would let the source delete the file it thinks we took.
        if (path.isEmpty() || !(drop->possibleActions() & Qt::CopyAction)) return false;
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        if (type == QEvent::Drop) {
            // After the drop returns: the question and the boxes must not
            // run inside the source's drag.
            QMetaObject::invokeMethod(
                &window_, [w = &window_, path] { w->document().open_given_file(path); },
                Qt::QueuedConnection);
        }
        return true;
    }

private:
    TForm_quil& window_;
};

}  // namespace

void accept_file_drops(TForm_quil& window) {
    window.setAcceptDrops(true);
    qApp->installEventFilter(new FileDropFilter(window));
}
