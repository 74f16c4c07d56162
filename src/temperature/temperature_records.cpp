#include "temperature/temperature_records.h"

std::vector<QByteArray> tempRecords(kTempRecordCapacity);
std::int32_t tempRecordCount = 0;
bool tempRecording = false;

void ResetTempRecords() {
    for (std::int32_t i = 0; i < tempRecordCount; ++i)
        tempRecords[static_cast<std::size_t>(i)].clear();
    tempRecordCount = 0;
    tempRecording = false;
}
