#pragma once

#include <QString>

// Where the remembered unit password is kept when the desktop offers a keyring: the settings block reads and
// writes it through this, and "KELDA.ini" then keeps PASS empty. The windows hand in the desktop's keyring; tests
// hand in a stand-in. Without one the password stays in the settings file, which only its owner may read.
class CPasswordStore {
public:
    enum class Read { Found, NotFound, Unavailable };

    virtual ~CPasswordStore() = default;
    // Unavailable: no keyring answers (none runs, or it refused).
    virtual Read read(QString& password) = 0;
    // False when the keyring did not take it.
    virtual bool write(const QString& password) = 0;
    virtual bool remove() = 0;
};
