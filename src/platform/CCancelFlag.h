#pragma once

// The one program-wide cancel flag. Download, folder-download and conversion runs clear it before they start;
// their progress windows' "キャンセル" sets it; the transfer and decoding loops poll it.
class CCancelFlag {
public:
    static int value() { return s_value; }
    static void set(int value) { s_value = value; }
    static void clear() { s_value = 0; }
    static bool isSet() { return s_value != 0; }

private:
    static inline int s_value = 0;
};
