#include "TDataSource.h"
#include "TADOIBDataSet.h"
#include "core/ComponentRegistry.h"

REGISTER_COMPONENT(TDataSource)

TDataSource::TDataSource(QObject *parent) : QObject(parent) {}

TADOIBDataSet *TDataSource::dataSet() const { return qobject_cast<TADOIBDataSet *>(m_dataSet.data()); }
