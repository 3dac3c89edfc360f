#include "link/CFtpMng.h"
#include "ui/CJapaneseFont.h"
#include "ui/CWidgetUi.h"
#include "ui/shell/CKeldaStartup.h"
#include "ui/shell/CMainFrame.h"
#include "voice/CG729Decoder.h"

#include <QApplication>
#include <QTextStream>

#include <cstring>

int main(int argc, char** argv) {
    // The version query needs no display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            QTextStream(stdout) << KELDA_VERSION_TEXT << Qt::endl;
            return 0;
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KELDA"));
    const CKeldaStartup::Options options = CKeldaStartup::parse(QApplication::arguments());
    if (!options.error.isEmpty()) {
        QTextStream(stderr) << "kelda: " << options.error << Qt::endl;
        return 2;
    }
    CJapaneseFont::install();
    CFtpMng::setPortOverride(options.unitPort);
    CG729Decoder::setVerbose(options.verbose);

    CWidgetUi ui;
    CKeldaStartup startup;
    if (!startup.acquireSingleInstance(ui)) {
        return 1;
    }
    const QString ini = CKeldaStartup::settingsFile(QApplication::applicationDirPath(), options.settingsDir);
    int rc = 0;
    {
        CMainFrame frame(ui, ini);
        ui.setMainWindow(&frame);
        frame.startUp();
        rc = QApplication::exec();
        ui.setMainWindow(nullptr);
    }
    return rc;
}
