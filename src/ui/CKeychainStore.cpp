#include "ui/CKeychainStore.h"

#include <QFileInfo>

#ifdef KELDA_HAVE_KEYCHAIN
#include <QEventLoop>
#include <QTimer>

#include <qt6keychain/keychain.h>

namespace {

const QString kService = QStringLiteral("KELDA");

// Runs a job to its end, or to the wait's end (then it counts as failed). The keyring may ask to be unlocked, so
// the events go on meanwhile.
bool finishes(QKeychain::Job& job) {
    QEventLoop loop;
    bool done = false;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, [&] {
        done = true;
        loop.quit();
    });
    QTimer::singleShot(CKeychainStore::kWaitMs, &loop, &QEventLoop::quit);
    job.setAutoDelete(false);
    job.start();
    if (!done) {
        loop.exec();
    }
    return done;
}

} // namespace

std::unique_ptr<CPasswordStore> CKeychainStore::open(const QString& iniFile) {
    return std::make_unique<CKeychainStore>(QFileInfo(iniFile).absoluteFilePath());
}

CPasswordStore::Read CKeychainStore::read(QString& password) {
    QKeychain::ReadPasswordJob job(kService);
    job.setKey(m_key);
    if (!finishes(job)) {
        return Read::Unavailable;
    }
    if (job.error() == QKeychain::NoError) {
        password = job.textData();
        return Read::Found;
    }
    return job.error() == QKeychain::EntryNotFound ? Read::NotFound : Read::Unavailable;
}

bool CKeychainStore::write(const QString& password) {
    QKeychain::WritePasswordJob job(kService);
    job.setKey(m_key);
    job.setTextData(password);
    return finishes(job) && job.error() == QKeychain::NoError;
}

bool CKeychainStore::remove() {
    QKeychain::DeletePasswordJob job(kService);
    job.setKey(m_key);
    return finishes(job) && (job.error() == QKeychain::NoError || job.error() == QKeychain::EntryNotFound);
}

#else

std::unique_ptr<CPasswordStore> CKeychainStore::open(const QString& /*iniFile*/) {
    return nullptr;
}

CPasswordStore::Read CKeychainStore::read(QString& /*password*/) {
    return Read::Unavailable;
}

bool CKeychainStore::write(const QString& /*password*/) {
    return false;
}

bool CKeychainStore::remove() {
    return false;
}

#endif
