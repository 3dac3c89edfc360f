#include "ui/admin/CFolderNmChg1.h"
