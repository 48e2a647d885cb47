/*
 * The case name of a Windows test's table row: the row's own name, so that
 * a failure names the case rather than the row's bytes.
 */
#ifndef VOLUME_WIN_TESTS_ROW_NAME_H
#define VOLUME_WIN_TESTS_ROW_NAME_H

#include <string>

#include <gtest/gtest.h>

template <typename Row>
std::string rowName(const ::testing::TestParamInfo<Row> &info) {
  return info.param.name;
}

#endif
