#pragma once
int B();
