#include "DMOutlineViewDataSource.h"

#include "DMOutlineViewModel.h"

DMOutlineViewDataSource::~DMOutlineViewDataSource()
{
    // Each model unregisters while it is detached, so work on a copy.
    const std::vector<DMOutlineViewModel *> models = m_registeredModels;
    for (DMOutlineViewModel *model : models)
        model->dataSourceDestroyed();
}
