// The K-file library: everything a program needs to read and write K-files.
#pragma once

#include "kfile/KDatagroupSection.h"
#include "kfile/KFileContents.h"
#include "kfile/KFileDynamicRecord.h"
#include "kfile/KFileFormat.h"
#include "kfile/KFileManager.h"
#include "kfile/KFileRecord.h"
#include "kfile/KFileSection.h"
#include "kfile/KFileWrapper.h"
#include "kfile/KParameterSection.h"
