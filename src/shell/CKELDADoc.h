#pragma once

#include "settings/CKeldaSession.h"

// The settings block: every value of "KELDA.ini" plus the state the whole program shares (logged-in flag, list
// slots, column setting, current folder, selection criteria). One instance, owned by the main frame; the
// subsystems below the shell see it as the session or the settings it is.
class CKELDADoc : public CKeldaSession {};
