// The C entry points the host resolves by name. Each one catches everything:
// no exception ever crosses into the host.
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>

#include "jcampimport.h"
#include "platform/message_box.h"
#include "plugin/data_importer.h"
#include "plugin/handle_table.h"
#include "plugin/jcamp_importer.h"
#include "plugin/module.h"
#include "plugin/published_matrix.h"

namespace {

using jcamp::CErrCodeException;
using jcamp::DataImporter;

// Looks the handle up and runs the operation on its registration under the
// handle's own lock; registry errors and any other exception become result
// codes. The registration stays alive for the call even if another thread
// closes the handle. A call from inside a call on the same handle, on the
// same thread, would wait for itself: it is answered at once instead.
template <typename Operation>
int32_t onRegistration(uint32_t handle, Operation operation) {
  try {
    const jcamp::RegistrationRef registration =
        jcamp::lookupObject(jcamp::kHandleTypeImporter, handle);
    if (registration->calledFromInside()) return JCAMP_BUSY;
    const jcamp::HandleCall call(*registration);
    return operation(*registration);
  } catch (const CErrCodeException& error) {
    return error.code();
  } catch (...) {
    return JCAMP_NO_OBJECT;
  }
}

// A query that reads the importer as it stands.
template <typename Operation>
int32_t forward(uint32_t handle, Operation operation) {
  return onRegistration(
      handle, [&](jcamp::Registration& registration) { return operation(*registration.object); });
}

// A call that may change the importer: the matrix published for readers
// without the lock is withdrawn first.
template <typename Operation>
int32_t forwardChange(uint32_t handle, Operation operation) {
  return onRegistration(handle, [&](jcamp::Registration& registration) {
    registration.retract();
    return operation(*registration.object);
  });
}

// The value queries, which hosts call once per value: the published matrix
// without any lock when it is there, else the locked way, which publishes it
// for the next query.
template <typename Query>
int32_t readValues(uint32_t handle, Query query) {
  {
    const jcamp::PublishedRead read(handle);
    if (read.busy()) return JCAMP_BUSY;
    if (read.matrix() != nullptr) return query(*read.matrix());
  }
  return onRegistration(handle, [&](jcamp::Registration& registration) {
    const std::shared_ptr<const jcamp::PublishedMatrix> matrix = registration.object->published();
    registration.publish(matrix);
    return query(*matrix);
  });
}

}  // namespace

extern "C" {

JCAMP_EXPORT int32_t JCAMP_CALL openHandleUDI(uint32_t* handleOut) {
  // Without a place for the handle the importer could never be closed.
  if (handleOut == nullptr) return JCAMP_NO_OBJECT;
  try {
    const uint32_t handle =
        jcamp::registerObject(jcamp::kHandleTypeImporter, std::make_unique<jcamp::JcampImporter>());
    *handleOut = handle;
    return JCAMP_OK;
  } catch (...) {
    return JCAMP_NO_OBJECT;
  }
}

JCAMP_EXPORT int32_t JCAMP_CALL closeHandleUDI(uint32_t handle) {
  try {
    // Closing a handle from inside a call on it would pull it from under that call.
    if (jcamp::lookupObject(jcamp::kHandleTypeImporter, handle)->calledFromInside()) {
      return JCAMP_BUSY;
    }
    // The importer is deleted here, or when a call still running on it returns.
    jcamp::takeObject(jcamp::kHandleTypeImporter, handle);
    return JCAMP_OK;
  } catch (const CErrCodeException& error) {
    return error.code();
  } catch (...) {
    return JCAMP_NO_OBJECT;
  }
}

JCAMP_EXPORT int32_t JCAMP_CALL importDataUI(uint32_t handle) {
  return forwardChange(handle, [](DataImporter& importer) { return importer.importDataUI(); });
}

JCAMP_EXPORT int32_t JCAMP_CALL importData(uint32_t handle) {
  return forwardChange(handle, [](DataImporter& importer) { return importer.importData(); });
}

JCAMP_EXPORT int32_t JCAMP_CALL addFileName(uint32_t handle, const char* fileName) {
  return forwardChange(handle,
                       [=](DataImporter& importer) { return importer.addFileName(fileName); });
}

JCAMP_EXPORT int32_t JCAMP_CALL getNumberOfSamples(uint32_t handle, int32_t* count) {
  return forward(handle,
                 [=](DataImporter& importer) { return importer.getNumberOfSamples(count); });
}

JCAMP_EXPORT int32_t JCAMP_CALL getNumberOfVariables(uint32_t handle, int32_t* count) {
  return forward(handle,
                 [=](DataImporter& importer) { return importer.getNumberOfVariables(count); });
}

JCAMP_EXPORT int32_t JCAMP_CALL getVariableName(uint32_t handle, int32_t index, char* buffer) {
  return forward(handle,
                 [=](DataImporter& importer) { return importer.getVariableName(index, buffer); });
}

JCAMP_EXPORT int32_t JCAMP_CALL getSampleName(uint32_t handle, int32_t index, char* buffer) {
  return forward(handle,
                 [=](DataImporter& importer) { return importer.getSampleName(index, buffer); });
}

JCAMP_EXPORT int32_t JCAMP_CALL getData(uint32_t handle, int32_t sample, int32_t variable,
                                        char* buffer) {
  return readValues(handle, [=](const jcamp::PublishedMatrix& matrix) {
    return matrix.getData(sample, variable, buffer);
  });
}

JCAMP_EXPORT int32_t JCAMP_CALL getNoOfFiles(uint32_t handle, int32_t* count) {
  return forward(handle, [=](DataImporter& importer) { return importer.getNoOfFiles(count); });
}

JCAMP_EXPORT int32_t JCAMP_CALL getFileName(uint32_t handle, int32_t index, char* buffer) {
  return forward(handle,
                 [=](DataImporter& importer) { return importer.getFileName(index, buffer); });
}

JCAMP_EXPORT void JCAMP_CALL setMessageBoxHandler(MessageBoxHandler handler, void* context) {
  jcamp::platform::setMessageBoxHandler(handler, context);
}

JCAMP_EXPORT int32_t JCAMP_CALL checkFileNameMode(const char* fileName, int32_t mode, char* message,
                                                  uint32_t messageSize) {
  try {
    jcamp::ReadingRules rules;
    if (!jcamp::rulesForMode(mode, rules)) return JCAMP_BAD_ARGUMENT;
    return jcamp::checkFile(fileName, rules, message, messageSize);
  } catch (...) {
    if (message != nullptr && messageSize > 0) message[0] = '\0';
    return 0;
  }
}

JCAMP_EXPORT int32_t JCAMP_CALL checkFileName(const char* fileName, char* message,
                                              uint32_t messageSize) {
  return checkFileNameMode(fileName, jcamp::kModeHostCompatible, message, messageSize);
}

JCAMP_EXPORT int32_t JCAMP_CALL setReadingMode(uint32_t handle, int32_t mode) {
  return forwardChange(handle,
                       [=](DataImporter& importer) { return importer.setReadingMode(mode); });
}

JCAMP_EXPORT int32_t JCAMP_CALL setGrid(uint32_t handle, const JcampGrid* grid) {
  return forwardChange(handle, [=](DataImporter& importer) { return importer.setGrid(grid); });
}

JCAMP_EXPORT int32_t JCAMP_CALL getValues(uint32_t handle, int32_t sample, int32_t firstVariable,
                                          int32_t count, float* out) {
  return readValues(handle, [=](const jcamp::PublishedMatrix& matrix) {
    return matrix.getValues(sample, firstVariable, count, out);
  });
}

JCAMP_EXPORT int32_t JCAMP_CALL getSampleInfo(uint32_t handle, int32_t sample,
                                              JcampSampleInfo* info) {
  return readValues(handle, [=](const jcamp::PublishedMatrix& matrix) {
    return matrix.getSampleInfo(sample, info);
  });
}

}  // extern "C"
