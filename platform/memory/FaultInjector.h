// Counts the platform calls of the in-memory machine and makes a chosen one fail,
// so that every failure path of the logic can be driven by a test.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace mem {

class FaultInjector {
 public:
  // Fail call number `k` (1-based, counted over every faultable call of the
  // machine); with `repeat`, every call from k on fails too.
  void FailCall(std::size_t k, bool repeat = false) {
    m_failAt = k;
    m_repeat = repeat;
  }
  // Fail the n-th call (1-based) of the operation named `operation` only.
  void FailOperation(const std::string& operation, std::size_t n = 1, bool repeat = false) {
    m_operation = operation;
    m_operationCalls = 0;
    m_failAt = n;
    m_repeat = repeat;
  }
  void Clear() {
    m_failAt = 0;
    m_repeat = false;
    m_operation.clear();
  }
  void ResetCount() {
    m_calls = 0;
    m_operationCalls = 0;
    m_failures.clear();
  }

  // Called by each faultable operation on entry: true when this call must fail.
  bool ShouldFail(const char* operation) {
    ++m_calls;
    std::size_t n = m_calls;
    if (!m_operation.empty()) {
      if (m_operation != operation) return false;
      n = ++m_operationCalls;
    }
    const bool fail = m_failAt != 0 && (n == m_failAt || (m_repeat && n > m_failAt));
    if (fail) m_failures.push_back(operation);
    return fail;
  }

  std::size_t Calls() const { return m_calls; }
  // Operations that were made to fail, in order.
  const std::vector<std::string>& Failures() const { return m_failures; }

 private:
  std::size_t m_calls = 0;
  std::size_t m_operationCalls = 0;
  std::size_t m_failAt = 0;
  bool m_repeat = false;
  std::string m_operation;
  std::vector<std::string> m_failures;
};

}  // namespace mem
