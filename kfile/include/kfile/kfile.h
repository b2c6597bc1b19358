// The K-file library: everything a program needs to read and write K-files.
//
// Everything lives in namespace kfile. The common case is one call:
//
//   kfile::KReadResult take = kfile::ReadTake("walk.K");
//   if (!take.contents) { puts(take.report.Describe().c_str()); }
//
// Errors are answered by results (bool, status, null, a KReadError with its report), never by
// exceptions, and nothing is printed. Memory exhaustion follows one rule: reading and writing
// (KFileManager, ReadTake, Pack) catch std::bad_alloc and answer failure; the calls that edit
// contents in memory (constructors, setters, AddRecord, AddSection, AddDynamicRecord) grow
// standard containers and, as those do, let std::bad_alloc through.
//
// Threads: a const KFileContents may be queried from several threads at once; anything else
// (a manager, a contents being changed) belongs to one thread at a time.
#pragma once

#include "kfile/KDatagroupSection.h"
#include "kfile/KFileContents.h"
#include "kfile/KFileDynamicRecord.h"
#include "kfile/KFileManager.h"
#include "kfile/KFileRecord.h"
#include "kfile/KFileSection.h"
#include "kfile/KFileWrapper.h"
#include "kfile/KParameterSection.h"
#include "kfile/KRange.h"
