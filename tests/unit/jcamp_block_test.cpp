#include "labels/jcamp_block.h"

#include <gtest/gtest.h>

#include <cstring>

namespace jcamp {
namespace {

TEST(JcampBlockTest, ANewBlockHoldsItsInitialValues) {
  uint32_t bits = 0;
  std::memcpy(&bits, &kUnsetValue, sizeof bits);
  EXPECT_EQ(bits, 0x7F7FC99Eu);
  EXPECT_EQ(kUnsetDouble, 3.3999999521443642e38);
  EXPECT_NE(kUnsetDouble, 3.4e38);

  const JcampBlock block;
  for (float value : {block.jcampVersion,
                      block.imsPressure,
                      block.electricField[0],
                      block.electricField[1],
                      block.imsTemperature[0],
                      block.imsTemperature[1],
                      block.shutterOpeningTime,
                      block.firstY,
                      block.seconds,
                      block.maxX,
                      block.minX,
                      block.maxY,
                      block.minY,
                      block.ionizationEnergy,
                      block.ionizationChamber[0],
                      block.ionizationChamber[1],
                      block.ionizationChamber[2],
                      block.driftChamber[0],
                      block.driftChamber[1],
                      block.driftChamber[2],
                      block.carrierGasFlow[0],
                      block.carrierGasFlow[1],
                      block.driftGasFlow,
                      block.carrierGasMoisture,
                      block.shutterGridPotential,
                      block.repetitionRate}) {
    EXPECT_EQ(value, kUnsetValue);
  }
  for (double value : {block.firstX, block.lastX, block.xFactor, block.yFactor}) {
    EXPECT_EQ(value, kUnsetDouble);
  }
  for (uint32_t value : {block.dataType, block.tableForm, block.blockId, block.nPoints, block.year,
                         block.month, block.day, block.hour, block.minute, block.checkFlags}) {
    EXPECT_EQ(value, 0u);
  }
  EXPECT_EQ(block.zone, 0);
  EXPECT_EQ(block.averages, 0);
  for (JcampBlock::Ref ref : {block.title,
                              block.origin,
                              block.owner,
                              block.carrierGas,
                              block.driftGas,
                              block.ionPolarity,
                              block.ionizationMode,
                              block.xUnits,
                              block.yUnits,
                              block.sourceReference,
                              block.crossReference,
                              block.sampleDescription,
                              block.casName,
                              block.iupacName,
                              block.names,
                              block.molForm,
                              block.casRegistryNo,
                              block.concentrationsRecord,
                              block.spectrometerDataSystem,
                              block.instrumentalParameters,
                              block.dataProcessing,
                              block.comment,
                              block.xLabel,
                              block.yLabel,
                              block.reducedMobility,
                              block.ionizationSource}) {
    EXPECT_EQ(ref, nullptr);
  }
  EXPECT_EQ(block.yValues, nullptr);
  EXPECT_EQ(block.xValues, nullptr);
  EXPECT_EQ(block.xIsReal, nullptr);
  EXPECT_EQ(block.concentrations, nullptr);
  EXPECT_STREQ(block.ionizationChamberCode, "");
  EXPECT_STREQ(block.driftChamberCode, "");
  EXPECT_EQ(std::memcmp(block.driftChamberCode, "\0\0\0\0\0", 5), 0);
}

}  // namespace
}  // namespace jcamp
