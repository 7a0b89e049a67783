#include "PortEnumerator.h"

#include "SystemPortEnumerator.h"

PortEnumerator::~PortEnumerator() = default;

std::unique_ptr<PortEnumerator> PortEnumerator::createDefault()
{
    return std::make_unique<SystemPortEnumerator>();
}
