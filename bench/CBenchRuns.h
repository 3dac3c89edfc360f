#pragma once

#include <QFile>

#include <algorithm>
#include <unistd.h>
#include <vector>

// What every benchmark does the same way: the figure it takes of several runs, and the empty file cache of a cold
// run.
class CBenchRuns {
public:
    // The middle run (of an even number, the upper of the two in the middle).
    static double median(std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    }

    // Writes what is pending and empties the file cache; needs the right to write /proc/sys/vm/drop_caches.
    static bool dropCaches() {
        ::sync();
        QFile f("/proc/sys/vm/drop_caches");
        return f.open(QIODevice::WriteOnly) && f.write("3\n") == 2;
    }
};
