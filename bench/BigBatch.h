#pragma once

#include "Fakes.h"
#include "core/WorkTable.h"

#include <vector>

// The large batch the benchmarks measure: 32,767 video files (the most the file list holds) × 10 batch
// entries of one converter whose path holds a blank.
struct BigBatch {
    static constexpr int rows = 32767;
    static constexpr int entries = 10;
    WorkTable table;
    FakeFileSystem files;
    FakeLauncher launcher;

    BigBatch()
    {
        using namespace Qt::StringLiterals;
        table.apps.appendRow({u"<App1>"_s, u"conv"_s, u"/opt/video tools/conv"_s});
        files.files.insert(u"/opt/video tools/conv"_s);
        std::vector<FileList::Row> fileRows;
        fileRows.reserve(rows);
        for (int i = 0; i < rows; ++i) {
            const QString name = u"動画 "_s + QString::number(i) + u".mp4"_s;
            fileRows.push_back({u""_s, u""_s, name, u"/data/in"_s, u"mp4"_s, u"/data/in/"_s + name});
        }
        table.files.appendRows(std::move(fileRows));
        for (int e = 0; e < entries; ++e)
            table.batch.appendRow(
                {QString::number(e + 1), u"conv"_s,
                 u"<App1> -preset "_s + QString::number(e) + u" -i \"<c5>\" \"<c3>/out<c0>.mkv\""_s,
                 u"/opt/video tools/conv"_s});
    }
};
