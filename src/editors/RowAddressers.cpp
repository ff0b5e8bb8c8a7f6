#include "editors/RowAddressers.h"

#include "editors/TableLayout.h"
#include "platform/AsciiText.h"

QStringList TablesAddressingRowsOf(const std::string& fileName, const CTxtTable* levels) {
    if (EqualsIgnoringAsciiCase(fileName, "monstats.txt") && levels &&
        DetectTableLayout(*levels, CGameDataSet::TableId::Levels) == TableLayout::V109)
        return {QStringLiteral("Levels.txt")};
    return {};
}
