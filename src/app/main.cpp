#include <QCoreApplication>
#include <QTextStream>

#include <cstring>

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            QTextStream(stdout) << KELDA_VERSION_TEXT << Qt::endl;
            return 0;
        }
    }
    QTextStream(stderr) << "kelda: the main window is not built yet; try --version" << Qt::endl;
    return 1;
}
