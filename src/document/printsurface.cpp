#include "document/printsurface.h"

namespace brevant {

PrintSurface::~PrintSurface() = default;
PrinterFactory::~PrinterFactory() = default;

} // namespace brevant
