/* SPDX-License-Identifier: MIT */
/* The whole public interface of libgef: read, check, edit and write GEF files. Each header it
 * includes names, in its first comment, the folders under src/ that implement it.
 *
 * The library is single-threaded by contract: it holds one current document per process and
 * takes no locks, so a program calls it from one thread at a time. Separate processes may use it
 * concurrently. */
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
#include "gef/version.h"
#include "gef/writer.h"

#endif /* GEF_GEF_H */
