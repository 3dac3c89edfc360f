#pragma once

// Upper bounds of the waits on the unit link, in milliseconds. The defaults are the product's; tests shorten
// them.
struct FTP_TIMEOUTS {
    int replyByteMs = 10000; // each byte of a reply line
    int dataChunkMs = 10000; // each receive on a data connection
    int acceptMs = 10000;    // the unit connecting back for a transfer
    int finalReplyMs = 5000; // the reply after a retrieved file
    int connectMs = 10000;   // the unit accepting the control connection
    int sliceMs = 100;       // the longest stretch a wait goes without repainting and looking at the cancel flag
};
