// Placeholder bodies: replaced by the master import.
#include "ui/fmHaupt.h"

void TfmHaupt1::btImportMasterClick() {}
void TfmHaupt1::RecreateTables() {}
void TfmHaupt1::CreateTableRGBCOLORS() {}
void TfmHaupt1::CreateTableBASEN() {}
void TfmHaupt1::CreateTableFARBEN() {}
void TfmHaupt1::CreateTableKOLLEKTIONEN() {}
void TfmHaupt1::CreateTableKOMBIDATEN() {}
void TfmHaupt1::ProcessPendingMessages() {}
