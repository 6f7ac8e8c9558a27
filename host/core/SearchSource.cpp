#include "SearchSource.h"

SearchSource::~SearchSource() = default;
