#pragma once

#include "settings/CPasswordStore.h"

#include <memory>

// The desktop's keyring (Secret Service: GNOME Keyring, KWallet) through QtKeychain, one entry per settings file.
// Built only where QtKeychain is installed; open() gives nothing otherwise, and the password stays in the file.
class CKeychainStore : public CPasswordStore {
public:
    // The store for the settings file iniFile; null when the program was built without a keyring.
    static std::unique_ptr<CPasswordStore> open(const QString& iniFile);
    // The longest a keyring is waited for before it counts as not there.
    static constexpr int kWaitMs = 10000;

    explicit CKeychainStore(const QString& key) : m_key(key) {}
    Read read(QString& password) override;
    bool write(const QString& password) override;
    bool remove() override;

private:
    QString m_key;
};
