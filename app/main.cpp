#include "MdiWindow.h"

#include <QApplication>
#include <QTranslator>

int main(int argc, char **argv)
{
    // The images and catalogues live in a static library; naming its resource
    // here keeps the linker from dropping it.
    Q_INIT_RESOURCE(scaleacq);

    QApplication app(argc, argv);

    // Installed empty before the window exists, so that every catalogue the
    // window loads later reaches it as a language-change event.
    QTranslator programTranslator;
    QTranslator toolkitTranslator;
    app.installTranslator(&programTranslator);
    app.installTranslator(&toolkitTranslator);

    int exitCode = 0;
    {
        MdiWindow window(&programTranslator, &toolkitTranslator);
        window.showMaximized();
        exitCode = app.exec();
    }
    return exitCode;
}
