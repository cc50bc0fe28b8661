#include "formats/psd_import.h"

namespace velmira {

PsdResult PsdImport(CImageStream&, CImageBuffer&) { return PsdResult(-2); }

}  // namespace velmira
