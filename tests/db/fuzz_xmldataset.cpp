// Feeds arbitrary bytes to the package reader: it must fail cleanly, never crash.
#include "db/MemTable.h"
#include "db/XMLDataset.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MemTable table;
    TXMLDataset reader(&table);
    reader.loadFromBytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    for (bool more = table.first(); more; more = table.next())
        for (int f = 0; f < table.fieldCount(); ++f)
            table.value(table.field(f).name);
    return 0;
}
