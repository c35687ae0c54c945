#include "mduStaleRecord.h"

#include "clsConn.h"
#include "mduMessage.h"

bool ChangedElsewhere() {
    // -1: the backend cannot tell; the statement is taken as done.
    if (gConn->RowsChanged() != 0)
        return false;
    ShowMessage(QStringLiteral("该质保卡已在别处上报、发布或删除，请刷新后再操作。"), QStringLiteral("系统提示"), 0);
    return true;
}
