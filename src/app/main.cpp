#include "audio/CAudioDeviceOutput.h"
#include "ui/CJapaneseFont.h"
#include "ui/CKeychainStore.h"
#include "ui/CWidgetUi.h"
#include "ui/shell/CKeldaStartup.h"
#include "ui/shell/CMainFrame.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTextStream>
#include <QTranslator>

#include <cstring>

namespace {

int run(int argc, char** argv) {
    // The version and help queries need no display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            QTextStream(stdout) << KELDA_VERSION_TEXT << Qt::endl;
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            QTextStream(stdout) << CKeldaStartup::helpText();
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
    // The standard dialogs (the folder chooser, the file dialogs) speak the program's language.
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtTexts);
    }

    CWidgetUi ui;
    ui.setVerbose(options.verbose);
    CKeldaStartup startup;
    if (!startup.acquireSingleInstance(ui)) {
        return 1;
    }
    const QString ini = CKeldaStartup::settingsFile(QApplication::applicationDirPath(), options.settingsDir);
    int rc = 0;
    {
        const std::unique_ptr<CPasswordStore> keyring = CKeychainStore::open(ini);
        CMainFrame frame(ui, ini, nullptr, keyring.get());
        frame.doc().unitPort = options.unitPort;
        ui.setMainWindow(&frame);
        frame.startUp();
        rc = QApplication::exec();
        ui.setMainWindow(nullptr);
    }
    return rc;
}

} // namespace

int main(int argc, char** argv) {
    CAudioDeviceOutput::endProcess(run(argc, argv));
}
