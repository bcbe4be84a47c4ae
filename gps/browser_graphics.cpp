// The graphics set-up of the map views' browser (see map_browser.h); it
// runs before the browser's module is loaded.

#include <QCoreApplication>
#include <QOpenGLContext>

#include "gps/map_browser.h"

QT_BEGIN_NAMESPACE
// QtGui's, as the browser module uses it to find the shared context.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);
QT_END_NAMESPACE

namespace orvo {

void PrepareBrowserGraphics() {
    if (qgetenv("QT_QUICK_BACKEND") == "software") {
        // Never created, and kept for the life of the process.
        static QOpenGLContext* const placeholder = new QOpenGLContext;
        qt_gl_set_global_share_context(placeholder);
    } else {
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    }
}

}  // namespace orvo
