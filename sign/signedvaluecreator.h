#pragma once

// Place for building signed values locally; it has no behaviour, as the seal provider produces them.
class SignedValueCreator
{
public:
    SignedValueCreator() = default;
};
