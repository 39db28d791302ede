/* The whole public interface of libgef: read, check, edit and write GEF files. */
#ifndef GEF_GEF_H
#define GEF_GEF_H

#include "gef/borecodes.h"
#include "gef/conformance.h"
#include "gef/dataops.h"
#include "gef/deletes.h"
#include "gef/errors.h"
#include "gef/extensions.h"
#include "gef/getters.h"
#include "gef/lifecycle.h"
#include "gef/reader.h"
#include "gef/reporttext.h"
#include "gef/setters.h"
#include "gef/writer.h"

#endif /* GEF_GEF_H */
