#pragma once

#include <QString>

// Address, user name and password of a login, as typed (UTF-16).
struct LOGIN_VALUES {
    QString address;
    QString user;
    QString password;
};
