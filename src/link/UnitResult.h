#pragma once

// What a unit operation came to. Each value means one thing; operations that can end only some of these ways
// document which.
enum class UnitResult {
    Done,
    // A file the listing named was gone on the unit when it was fetched, or a file to delete is not there or is
    // protected (the unit answered 550).
    FileGoneOnUnit,
    // The voice file is not in its box directory's listing.
    NotListed,
    // The box directory does not exist on the unit.
    NoBoxDirectory,
    // The unit refused a command; the reply code says how.
    Refused,
    CommFailure,
    Cancelled,
    NoDiskSpace,
    // A voice file that was already on the PC could not be converted to WAV.
    PresentVoiceNotConverted,
    // A voice file this run fetched could not be converted to WAV.
    FetchedVoiceNotConverted,
    // The unit holds the file in use (it answered 450).
    FileInUse,
};

// A unit result with the reply code the unit answered, where the unit answered with a refusal (0 otherwise).
struct UnitReply {
    UnitResult result = UnitResult::Done;
    int replyCode = 0;
    bool operator==(const UnitReply&) const = default;
};
