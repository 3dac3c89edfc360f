#pragma once

// How a press in a dialog ends: the dialog stays open for another try, or closes having done its work or without
// it. Dialogs that cannot be left without their work report only Stay and EndOk.
enum class DlgOutcome { Stay, EndOk, EndCancel };
