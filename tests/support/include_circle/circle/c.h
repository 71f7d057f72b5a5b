#pragma once
int C();
