#pragma once

#include <QByteArray>

#include <cstdint>
#include <vector>

// Encodes 8 kHz PCM into G.729 Annex A frames (voice activity detection off, so every frame is a full 10-byte
// speech frame) and stores them as the unit does: each 16-bit word low byte first, that is with the two bytes of
// every word exchanged relative to the octet order of RFC 3551. A trailing part-frame of samples is dropped.
class CSampleEncoder {
public:
    static QByteArray encode(const std::vector<int16_t>& pcm);
    // The unit's word order and the RFC 3551 octet order are each other's byte swap; this turns one into the other.
    static QByteArray swapWords(const QByteArray& frames);
};
