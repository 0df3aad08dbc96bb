#include "ArmModel.h"

#include <algorithm>
#include <cmath>

namespace arm {

ArmModel::ArmModel(ServoSettings settings, Millis start) : m_settings(settings), m_time(start) {
    if (m_settings.max_angle < m_settings.min_angle)
        std::swap(m_settings.min_angle, m_settings.max_angle);
    if (!(m_settings.ms_per_degree >= 0))
        m_settings.ms_per_degree = 0;
    int middle = m_settings.min_angle + (m_settings.max_angle - m_settings.min_angle) / 2;
    m_angle.fill(middle);
    m_target.fill(middle);
}

CommandEffect ArmModel::command(int servo, std::int32_t value, Millis now) {
    advance(now);
    CommandEffect effect;
    effect.target = std::clamp<std::int64_t>(value, m_settings.min_angle, m_settings.max_angle);
    effect.clamped = effect.target != value;
    if (servo >= 0 && servo < k_servo_count)
        m_target[servo] = effect.target;
    return effect;
}

void ArmModel::advance(Millis now) {
    if (now <= m_time)
        return;
    double elapsed = static_cast<double>(now - m_time);
    m_time = now;
    for (int i = 0; i < k_servo_count; ++i) {
        double left = m_target[i] - m_angle[i];
        double step = m_settings.ms_per_degree > 0 ? elapsed / m_settings.ms_per_degree : INFINITY;
        if (std::fabs(left) <= step)
            m_angle[i] = m_target[i];
        else
            m_angle[i] += left > 0 ? step : -step;
    }
}

bool ArmModel::is_moving() const {
    for (int i = 0; i < k_servo_count; ++i) {
        if (m_angle[i] != m_target[i])
            return true;
    }
    return false;
}

Millis ArmModel::arrival_time() const {
    double longest = 0;
    for (int i = 0; i < k_servo_count; ++i)
        longest = std::max(longest, std::fabs(m_target[i] - m_angle[i]));
    return m_time + static_cast<Millis>(std::ceil(longest * m_settings.ms_per_degree));
}

} // namespace arm
