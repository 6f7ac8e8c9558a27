#include "ReportRowSink.h"

ReportRowSink::~ReportRowSink() = default;
